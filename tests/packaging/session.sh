# Sourced by the checks that run the packaged program: unpacking it, a
# private X server, and stopping exactly the processes a check started.

# Unpacks the package found in $1 into the folder $2/root.
unpack_deb() {
    local debs=("$1"/scrivola-synth_*.deb)
    [ -f "${debs[0]}" ] || { echo "FAIL: no package in $1" >&2; return 1; }
    dpkg -x "${debs[0]}" "$2/root"
}

# Stops the one process $1 (if any): TERM, then KILL after ~5 s.
stop_process() {
    local pid=$1
    [ -n "$pid" ] || return 0
    kill -TERM "$pid" 2>/dev/null || return 0
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# Starts a private X server (scripts/xserver.sh), logging to $1, and sets
# xvfb_pid and display.
start_xvfb() {
    # shellcheck source=../../scripts/xserver.sh
    source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xserver.sh"
    xserver_start "$1" || { echo "FAIL: no X server" >&2; return 1; }
    xvfb_pid=$XSERVER_PID
    display=$XSERVER_DISPLAY
}

# Starts the program $1 on that X server, with the home and runtime folders
# $2/home and $2/run, logging to $3 and passing it the options after $3.
# Sets app_pid, and window to its window once one is visible; fails when none
# is within 20 s.
start_on_x11() {
    local program=$1 work=$2 log=$3
    shift 3
    DISPLAY=$display QT_QPA_PLATFORM=xcb HOME=$work/home XDG_RUNTIME_DIR=$work/run \
        "$program" "$@" >"$log" 2>&1 &
    app_pid=$!
    window=$(DISPLAY=$display timeout 20 xdotool search --sync --onlyvisible --pid "$app_pid" |
        head -n 1) || true
    [ -n "$window" ]
}
