#!/usr/bin/env bash
# The sound server goes away while the synth plays and comes back on the same
# socket: the window keeps running without an error message, no thread of the
# program spins meanwhile (its audio threads may run at real-time priority,
# where a spinning one would starve the window), and the sound is back within
# 2 s of the server's return, without restarting the program. The program
# records to a file meanwhile, which keeps the time the server was away as
# silence: its length is the time it recorded.
source "$(dirname "$0")/harness.sh"
e2e_begin server_restart
e2e_start_sound_server
e2e_start_recording
launched=$EPOCHREALTIME
e2e_start_app --record "$E2E_DIR/take.wav"
shown=$EPOCHREALTIME
sleep 0.5

# Sound: tone 1, and a release reloads the level (90), which then fades.
e2e_pen_down 286 300
sleep 0.05
e2e_surface_move 287 300
e2e_mark playing
e2e_pen_up
sleep 0.6
e2e_mark kill
realtime=$(e2e_realtime_threads)
e2e_log "real-time threads: $realtime"
# A desktop grants real time to a normal user's audio thread through
# RealtimeKit; the program must ask for it there (where this machine allows
# real time at all).
# RealtimeKit, or the process itself, also gives the window's thread, which
# computes what the output plays, a high priority.
nice=$(e2e_window_nice)
e2e_log "the window's thread runs at nice $nice"
if [ "${E2E_SOUND_SERVER:-}" = desktop ] && chrt -f 1 true 2>/dev/null; then
    [ -n "$realtime" ] || e2e_fail "no thread of the program runs at real-time priority"
    ((nice < 0)) || e2e_fail "the window's thread runs at nice $nice, not raised"
fi
e2e_stop_recording
"$SCRIVOLA_SOUND_ENV" daemon-stop || e2e_fail "cannot stop the sound server"
e2e_log "sound server stopped"

# Keep playing while the server is away: each press and release reloads the
# level, so there is always something to hear once the output is back.
pump() { # seconds
    local until=$((SECONDS + $1))
    while ((SECONDS < until)); do
        e2e_xdo mousedown 1 || e2e_fail "mousedown failed"
        sleep 0.05
        e2e_xdo mouseup 1 || e2e_fail "mouseup failed"
        sleep 0.25
    done
}
pump 1
busiest=$(e2e_thread_cpu 2)
e2e_log "busiest thread while the server is away: $busiest % of a core"
awk -v p="${busiest%% *}" 'BEGIN { exit !(p < 50) }' ||
    e2e_fail "a thread of the program spins while the server is away: $busiest %"
e2e_app_running || e2e_fail "the program ended while the server was away: $(cat "$E2E_DIR/app.stderr")"

ticks=$(e2e_ticks_while_lost)
e2e_log "ticks per second while the server was away: $ticks"
# The window keeps ticking while the server is away; a loaded machine delays
# ticks (the rate is a figure), but none may come faster than the timer's.
awk -v t="$ticks" 'BEGIN { exit !(t + 0 > 0 && t + 0 <= 72) }' ||
    e2e_fail "the window ticked $ticks times a second while the server was away, not 64"

"$SCRIVOLA_SOUND_ENV" daemon-start || e2e_fail "cannot start the sound server again"
back=$EPOCHREALTIME
e2e_log "sound server back"
E2E_RECORDING="$E2E_DIR/recording-back.s16"
E2E_MARKERS="$E2E_DIR/markers-back.txt"
: >"$E2E_MARKERS"
e2e_start_recording
# The recording's first sample was taken this long after the server's return.
late=$(LC_ALL=C awk -v now="$EPOCHREALTIME" -v back="$back" \
    -v samples="$(($(stat -c %s "$E2E_RECORDING") / 2))" -v rate="${SCRIVOLA_MONITOR_RATE:-44100}" \
    'BEGIN { late = now - samples / rate - back; printf "%.3f", late < 0 ? 0 : late }')
echo "back 0" >>"$E2E_MARKERS"
e2e_log "recording again, its start is $late s after the server's return"
pump 4
e2e_mark end
e2e_stop_recording

e2e_app_running || e2e_fail "the program ended: $(cat "$E2E_DIR/app.stderr")"
windows=$(e2e_app_windows | grep -vx "$E2E_WINDOW")
[ -z "$windows" ] || e2e_fail "other windows were shown: $(for w in $windows; do
    e2e_xdo getwindowname "$w"; done)"

# Ended as a terminal ends it: the recording is finished on the way out.
ending=$EPOCHREALTIME
kill -TERM "$E2E_APP_PID"
e2e_wait_app_exit 10 || e2e_fail "the program did not end on SIGTERM"
ended=$EPOCHREALTIME
[ "$E2E_APP_STATUS" = 0 ] || e2e_fail "the program ended with status $E2E_APP_STATUS on SIGTERM"
length=$("$E2E_PYTHON" -c 'import sys, wave
w = wave.open(sys.argv[1]); print("%.3f" % (w.getnframes() / w.getframerate()))' "$E2E_DIR/take.wav") ||
    e2e_fail "the recording does not open"
e2e_log "recorded $length s; the window was shown for $(LC_ALL=C awk -v a="$shown" -v b="$ending" \
    'BEGIN { printf "%.3f", b - a }') s, the program ran for $(LC_ALL=C awk -v a="$launched" \
    -v b="$ended" 'BEGIN { printf "%.3f", b - a }') s"
# It covers at least the time the window was shown (less the odd dropout of a
# busy machine), and no more than the program ran.
LC_ALL=C awk -v l="$length" -v lo="$(LC_ALL=C awk -v a="$shown" -v b="$ending" 'BEGIN { print b - a - 0.5 }')" \
    -v hi="$(LC_ALL=C awk -v a="$launched" -v b="$ended" 'BEGIN { print b - a + 0.1 }')" \
    'BEGIN { exit !(l >= lo && l <= hi) }' ||
    e2e_fail "the recording lasts $length s, not the time it recorded"

e2e_tables "$E2E_DIR/tone1.txt" --tone 1 --levels 0 100
E2E_RECORDING="$E2E_DIR/recording.s16" E2E_MARKERS="$E2E_DIR/markers.txt" \
    e2e_check sound-within --tables "$E2E_DIR/tone1.txt" --start playing --end kill --within 0.5
within=$(LC_ALL=C awk -v late="$late" 'BEGIN { printf "%.3f", 2.0 - late }')
e2e_check sound-within --tables "$E2E_DIR/tone1.txt" --start back --end end --within "$within"
