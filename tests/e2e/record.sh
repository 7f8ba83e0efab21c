#!/usr/bin/env bash
# Recording with --record while the sound server's monitor is recorded too:
# the file equals what was played, sample for sample, silences included. The exit command
# answered Yes leaves a complete file, and so do the ends that come from
# outside: a terminal's or kill's signal, and another client destroying the
# window; a process killed mid-recording leaves one that opens and lacks at
# most the last second.
source "$(dirname "$0")/harness.sh"
e2e_begin record
e2e_start_sound_server
e2e_start_recording

CMDEXIT=(8160 120 255 285)

# Notes, each lift a new fading note, with silences between them.
play_notes() {
    local x
    for x in "$@"; do
        e2e_pen_down "$x" 200
        sleep 0.05
        e2e_surface_move $((x + 1)) 220
        sleep 0.3
        e2e_pen_up
        sleep 0.6
    done
}

e2e_mark first_start
e2e_start_app --record "$E2E_DIR/take.wav"
sleep 0.5
play_notes 100 200 300
# Silence longer than any the output is closed for when nothing records: the
# file must hold it as long as it lasted.
sleep 3.5
play_notes 250
sleep 1.8 # the last note fades out: nothing is still on its way to the server
e2e_click_twips "${CMDEXIT[@]}"
e2e_dialog_key "Exit Scrivola" "${E2E_YES_KEYS:-y}"
e2e_mark answered_yes
e2e_wait_app_exit 10 || e2e_fail "the program still runs 10 s after Yes"
[ "$E2E_APP_STATUS" = 0 ] || e2e_fail "the program ended with status $E2E_APP_STATUS"
e2e_check_take "the exit command" --wav "$E2E_DIR/take.wav" --after first_start --complete \
    --until answered_yes --missing-at-most 0.25 --min-seconds 7

# Each end from outside finishes the file and the program as closing the
# window does. One file's name is not valid UTF-8: it is written under
# exactly those bytes.
for ending in INT TERM HUP windowclose; do
    file="$E2E_DIR/$ending.wav"
    [ "$ending" != HUP ] || file="$E2E_DIR/caf"$'\xe9'".wav"
    e2e_mark "${ending}_start"
    e2e_start_app --record "$file"
    sleep 0.5
    play_notes 150
    e2e_mark "${ending}_sent"
    if [ "$ending" = windowclose ]; then
        e2e_xdo windowclose "$E2E_WINDOW" || e2e_fail "cannot destroy the window"
    else
        kill -"$ending" "$E2E_APP_PID"
    fi
    e2e_wait_app_exit 10 || e2e_fail "the program still runs 10 s after $ending"
    [ "$E2E_APP_STATUS" = 0 ] || e2e_fail "the program ended with status $E2E_APP_STATUS ($ending)"
    [ -f "$file" ] || e2e_fail "no file under the name given ($ending): $(ls "$E2E_DIR")"
    e2e_check_take "$ending" --wav "$file" --after "${ending}_start" --complete \
        --until "${ending}_sent" --missing-at-most 0.25
done

e2e_mark second_start
e2e_start_app --record "$E2E_DIR/killed.wav"
sleep 0.5
play_notes 120 220 320
e2e_mark killed
kill -KILL "$E2E_APP_PID"
e2e_wait_app_exit 10 || e2e_fail "the program survives SIGKILL"
sleep 0.3
e2e_stop_recording
e2e_check_take SIGKILL --wav "$E2E_DIR/killed.wav" --after second_start --until killed \
    --missing-at-most 1.0
