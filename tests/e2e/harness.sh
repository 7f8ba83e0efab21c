# Sourced by every end-to-end scenario. Starts a private X server, a private
# sound server whose default output is a null sink, a recorder on that sink's
# monitor and the real program; drives the program with real X input; stops
# exactly the processes it started, whatever happens.
#
# Environment (set by the test registration):
#   SCRIVOLA_APP       the program to test
#   E2E_TABLE_TOOL     prints the wave tables the core computes
#   E2E_ARTIFACTS      where each scenario keeps its recording, screenshots, logs

set -uo pipefail

E2E_HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
E2E_ROOT="$(cd "$E2E_HERE/../.." && pwd)"
E2E_PYTHON=/usr/bin/python3 # Debian's, which has numpy

source "$E2E_HERE/input.sh"
source "$E2E_HERE/checks.sh"

E2E_PIDS=()       # processes to stop at the end, in reverse order
E2E_PAREC_PID=""
E2E_APP_PID=""
E2E_APP_STATUS="" # exit status once the program has been reaped
E2E_WINDOW=""
E2E_CLIENT_X=0    # screen position of the window's client area
E2E_CLIENT_Y=0
E2E_SOUND_STARTED=0
E2E_RUN_AS=()     # the command prefix that runs the program as the session's user

e2e_log() {
    LC_ALL=C awk -v now="$EPOCHREALTIME" -v t0="$E2E_T0" -v name="$E2E_NAME" -v text="$*" \
        'BEGIN { printf "[%s %6.2fs] %s\n", name, now - t0, text }'
}

e2e_fail() {
    e2e_log "FAIL: $*"
    e2e_log "artifacts in $E2E_DIR"
    exit 1
}

# Runs a command with a deadline so that nothing can hang the test.
e2e_timeout() {
    local seconds=$1
    shift
    timeout --kill-after=2 "$seconds" "$@"
}

e2e_xdo() {
    e2e_timeout 5 xdotool "$@"
}

# Polls a command until it succeeds or the deadline (seconds) passes.
e2e_wait_for() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    while ! "$@" >/dev/null 2>&1; do
        if ((SECONDS >= deadline)); then
            return 1
        fi
        sleep 0.05
    done
}

e2e_stop_pid() {
    local pid=$1
    [ -n "$pid" ] || return 0
    kill -0 "$pid" 2>/dev/null || return 0
    kill -TERM "$pid" 2>/dev/null
    for _ in $(seq 40); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

e2e_cleanup() {
    local status=$?
    set +e
    local i
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        e2e_stop_pid "${E2E_PIDS[i]}"
    done
    if [ "$E2E_SOUND_STARTED" = 1 ]; then
        e2e_stop_sound_server
    fi
    # A sanitizer build reports faults on the program's stderr.
    if [ -f "$E2E_DIR/app.stderr" ] &&
        grep -qE 'ERROR: (Address|Leak|Thread)Sanitizer|runtime error:' "$E2E_DIR/app.stderr"; then
        e2e_log "FAIL: the program reported a fault:"
        sed 's/^/    /' "$E2E_DIR/app.stderr" | head -n 60
        status=1
    fi
    if [ "$status" = 0 ]; then
        e2e_log "passed"
    fi
    exit "$status"
}

# e2e_begin NAME: a fresh artifacts folder, the trap, and the X server.
e2e_begin() {
    E2E_NAME=$1
    E2E_T0=$EPOCHREALTIME
    local base=${E2E_ARTIFACTS:-${TMPDIR:-/tmp}/scrivola-e2e}
    mkdir -p "$base"
    if [ "${E2E_SOUND_SERVER:-}" = desktop ] &&
        ! setpriv --reuid=nobody --regid=nogroup --clear-groups test -x "$base" 2>/dev/null; then
        # The desktop's user runs the program, which writes in this folder:
        # one that user can reach.
        base=$(mktemp -d "${TMPDIR:-/tmp}/scrivola-e2e.XXXXXX")
        chmod 755 "$base"
    fi
    E2E_DIR="$base/$E2E_NAME"
    rm -rf "$E2E_DIR"
    mkdir -p "$E2E_DIR/runtime"
    chmod 700 "$E2E_DIR/runtime"
    export XDG_RUNTIME_DIR="$E2E_DIR/runtime"
    [ -x "${SCRIVOLA_APP:-}" ] || e2e_fail "SCRIVOLA_APP is not an executable: '${SCRIVOLA_APP:-}'"
    trap e2e_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    e2e_start_x
}

# Starts a private X server (scripts/xserver.sh) and waits until it answers.
e2e_start_x() {
    # shellcheck source=../../scripts/xserver.sh
    source "$E2E_ROOT/scripts/xserver.sh"
    xserver_start "$E2E_DIR/xvfb.log" || e2e_fail "no X server"
    E2E_PIDS+=("$XSERVER_PID")
    export DISPLAY=$XSERVER_DISPLAY
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
    e2e_log "X server on $DISPLAY"
}

# Starts the private sound server with its null sink as default output:
# PulseAudio; PipeWire with its PulseAudio service when E2E_SOUND_SERVER is
# "pipewire"; or, when it is "desktop", a desktop's PipeWire at 48 kHz run
# by a normal user who also runs the program (scripts/desktop-env.sh).
e2e_start_sound_server() {
    E2E_SOUND_STARTED=1 # so that an interruption while it starts still stops it
    case "${E2E_SOUND_SERVER:-pulseaudio}" in
        pipewire)
            # shellcheck source=../../scripts/pipewire-env.sh
            source "$E2E_ROOT/scripts/pipewire-env.sh"
            pipewire_env_start || e2e_fail "no PipeWire could be started"
            ;;
        desktop)
            # shellcheck source=../../scripts/desktop-env.sh
            source "$E2E_ROOT/scripts/desktop-env.sh"
            desktop_env_start || e2e_fail "no desktop session could be started"
            if ! desktop_env_reachable "$SCRIVOLA_APP"; then
                mkdir -m 755 "$SCRIVOLA_SOUND_DIR/bin"
                cp "$SCRIVOLA_APP" "$SCRIVOLA_SOUND_DIR/bin/"
                SCRIVOLA_APP="$SCRIVOLA_SOUND_DIR/bin/$(basename "$SCRIVOLA_APP")"
            fi
            # The program writes its output log and recordings here.
            chown "$SCRIVOLA_DESKTOP_USER" "$E2E_DIR"
            E2E_RUN_AS=("${DESKTOP_ENV_AS[@]}")
            ;;
        *)
            # shellcheck source=../../scripts/pulse-env.sh
            source "$E2E_ROOT/scripts/pulse-env.sh"
            pulse_env_start || e2e_fail "no PulseAudio daemon could be started"
            ;;
    esac
    E2E_RECORDING="$E2E_DIR/recording.s16"
    E2E_MARKERS="$E2E_DIR/markers.txt"
    : >"$E2E_MARKERS"
    e2e_log "sound server ($SCRIVOLA_SOUND_SERVER) at $PULSE_SERVER"
}

e2e_stop_sound_server() {
    cp "${SCRIVOLA_SOUND_DIR:-/nonexistent}"/*.log "$E2E_DIR/" 2>/dev/null
    cp "${SCRIVOLA_SOUND_DIR:-/nonexistent}"/system/*.log "$E2E_DIR/" 2>/dev/null
    case "${E2E_SOUND_SERVER:-pulseaudio}" in
        pipewire) pipewire_env_stop ;;
        desktop) desktop_env_stop ;;
        *) pulse_env_stop ;;
    esac
}

# Records what the sound server plays (scripts/record-monitor.sh).
# With an argument, appends to the recording (after a sound-server restart).
e2e_start_recording() {
    local command=("$E2E_ROOT/scripts/record-monitor.sh")
    if [ "${1:-}" = append ]; then
        "${command[@]}" >>"$E2E_RECORDING" 2>>"$E2E_DIR/parec.log" &
    else
        "${command[@]}" >"$E2E_RECORDING" 2>>"$E2E_DIR/parec.log" &
    fi
    E2E_PAREC_PID=$!
    E2E_PIDS+=("$E2E_PAREC_PID")
    e2e_wait_for 10 e2e_recording_grows || e2e_fail "the recorder records nothing"
}

# Underruns the program counted in its audio callback (from its output log).
e2e_program_underruns() {
    awk '$2 == "underruns" { n = $3 } END { print n + 0 }' "$E2E_DIR/audio.log" 2>/dev/null ||
        echo 0
}

# Underruns of the program's stream that the sound server logged ("n/a"
# where the server does not log them).
e2e_server_underruns() {
    if [ "$SCRIVOLA_SOUND_SERVER" = pulseaudio ]; then
        grep -cE "(Implicit|Actual) underrun of 'Playback'" "$SCRIVOLA_SOUND_DIR/daemon.log"
    else
        echo n/a
    fi
}

# The program's own PipeWire stream, one "key=value" line per property, its
# node's id first as "id=N"; nothing when there is none.
e2e_stream_props() {
    e2e_timeout 10 pw-dump | "$E2E_PYTHON" -c '
import json, sys
for o in json.load(sys.stdin):
    p = o.get("info", {}).get("props", {})
    if p.get("node.name") == "scrivola-synth":
        print("id=%d" % o["id"])
        print("\n".join("%s=%s" % kv for kv in p.items()))'
}

e2e_recording_grows() {
    local before after
    before=$(stat -c %s "$E2E_RECORDING" 2>/dev/null || echo 0)
    sleep 0.05
    after=$(stat -c %s "$E2E_RECORDING" 2>/dev/null || echo 0)
    [ "$after" -gt "$before" ]
}

e2e_stop_recording() {
    e2e_stop_pid "$E2E_PAREC_PID"
    E2E_PAREC_PID=""
}

# e2e_mark NAME: notes how many samples have been recorded so far, so the
# analysis can cut the recording at the moment of an action.
e2e_mark() {
    local bytes
    bytes=$(stat -c %s "$E2E_RECORDING")
    echo "$1 $((bytes / 2))" >>"$E2E_MARKERS"
}

# Starts the program with the given arguments and waits for its window.
e2e_start_app() {
    SCRIVOLA_AUDIO_LOG="$E2E_DIR/audio.log" "${E2E_RUN_AS[@]}" "$SCRIVOLA_APP" "$@" >"$E2E_DIR/app.stdout" \
        2>"$E2E_DIR/app.stderr" &
    E2E_APP_PID=$!
    E2E_PIDS+=("$E2E_APP_PID")
    e2e_find_window
}

e2e_find_window() {
    local deadline=$((SECONDS + 30))
    E2E_WINDOW=""
    while [ -z "$E2E_WINDOW" ]; do
        if ! kill -0 "$E2E_APP_PID" 2>/dev/null; then
            e2e_fail "the program ended before showing its window: $(cat "$E2E_DIR/app.stderr")"
        fi
        ((SECONDS < deadline)) || e2e_fail "no window within 30 s"
        E2E_WINDOW=$(e2e_xdo search --all --onlyvisible --pid "$E2E_APP_PID" --name 'SCRIVOLA SYNTH' |
            head -n 1)
        [ -n "$E2E_WINDOW" ] || sleep 0.1
    done
    local WINDOW X Y WIDTH HEIGHT SCREEN
    eval "$(e2e_xdo getwindowgeometry --shell "$E2E_WINDOW")"
    E2E_WINDOW_WIDTH=$WIDTH
    E2E_WINDOW_HEIGHT=$HEIGHT
    E2E_CLIENT_X=$X
    # No window manager: no frame, and the menu bar is inside the window.
    E2E_CLIENT_Y=$((Y + HEIGHT - E2E_CLIENT_HEIGHT))
    e2e_log "window $E2E_WINDOW at ($X, $Y), ${WIDTH}x${HEIGHT}"
}

# The program's top-level windows that are shown, one id a line.
e2e_app_windows() {
    local root
    root=$(e2e_timeout 5 xwininfo -root -int | awk '/Window id:/ { print $4 }')
    e2e_xdo search --all --onlyvisible --pid "$E2E_APP_PID" --classname '.' 2>/dev/null |
        grep -vx "$root"
}

# e2e_wait_dialog TITLE: waits for a shown window of the program with that
# title and prints its id.
e2e_wait_dialog() {
    local title=$1 deadline=$((SECONDS + 10)) id=""
    while [ -z "$id" ]; do
        ((SECONDS < deadline)) || return 1
        id=$(e2e_xdo search --all --onlyvisible --pid "$E2E_APP_PID" --name "^$title\$" | head -n 1)
        [ -n "$id" ] || sleep 0.05
    done
    echo "$id"
}

# e2e_dialog_key TITLE KEY...: answers a message box with real key presses.
e2e_dialog_key() {
    local title=$1 id
    shift
    id=$(e2e_wait_dialog "$title") || e2e_fail "no message box titled '$title'"
    e2e_xdo windowfocus --sync "$id" || e2e_fail "cannot focus the message box '$title'"
    local key
    for key in "$@"; do
        e2e_xdo key --clearmodifiers "$key" || e2e_fail "cannot press $key"
        sleep 0.1
    done
}

# Waits for the program to end; sets E2E_APP_STATUS.
e2e_wait_app_exit() {
    local seconds=$1 deadline=$((SECONDS + $1))
    while kill -0 "$E2E_APP_PID" 2>/dev/null; do
        ((SECONDS < deadline)) || return 1
        sleep 0.05
    done
    wait "$E2E_APP_PID"
    E2E_APP_STATUS=$?
    return 0
}

# e2e_thread_cpu SECONDS: the busiest thread of the program over SECONDS, as
# "PERCENT NAME/TID" (percent of one core).
e2e_thread_cpu() {
    local seconds=$1 before after
    before=$(e2e_thread_times)
    sleep "$seconds"
    after=$(e2e_thread_times)
    LC_ALL=C awk -v s="$seconds" -v hz="$(getconf CLK_TCK)" '
        NR == FNR { t[$1] = $2; next }
        ($1 in t) { p = ($2 - t[$1]) / hz / s * 100; if (p >= best) { best = p; who = $1 } }
        END { printf "%.1f %s\n", best, who }' <(echo "$before") <(echo "$after")
}

# One line per thread of the program: NAME/TID and its CPU ticks so far.
e2e_thread_times() {
    local task
    for task in /proc/"$E2E_APP_PID"/task/*; do
        awk -v name="$(cat "$task/comm" 2>/dev/null)/${task##*/}" \
            '{ sub(/.*\) /, ""); print name, $12 + $13 }' "$task/stat" 2>/dev/null
    done
}

# Table writes per second of voice A while the program had no output (the
# window writes once per tick), from its output log, up to the last rise of
# the count: the window's timers sleep once the silence has lasted 2 s with
# no input, while its watch goes on logging.
e2e_ticks_while_lost() {
    LC_ALL=C awk '$2 == "no" && $3 == "output," {
            n = $5 + 0; if (!seen) { t0 = $1; n0 = n; t1 = $1; n1 = n; seen = 1 }
            else if (n > n1) { t1 = $1; n1 = n } }
        END { if (t1 > t0) printf "%.1f\n", (n1 - n0) / (t1 - t0); else print "none" }' \
        "$E2E_DIR/audio.log"
}

# The program's real-time threads, as "NAME/TID" words.
e2e_realtime_threads() {
    local task
    for task in /proc/"$E2E_APP_PID"/task/*; do
        awk -v name="$(cat "$task/comm" 2>/dev/null)/${task##*/}" \
            '{ sub(/.*\) /, ""); if ($39 == 1 || $39 == 2) printf "%s ", name }' \
            "$task/stat" 2>/dev/null
    done
}

# The nice level of the program's main thread, the window's.
e2e_window_nice() {
    awk '{ sub(/.*\) /, ""); print $17 }' /proc/"$E2E_APP_PID"/stat
}

e2e_app_running() {
    kill -0 "$E2E_APP_PID" 2>/dev/null
}
