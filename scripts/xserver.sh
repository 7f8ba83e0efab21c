#!/usr/bin/env bash
# A private X server (Xvfb) for the scripts and tests that show the window.
# Xvfb picks a free display number itself and writes it once it accepts
# connections, so X servers started side by side never collide.
#
# As a wrapper:   scripts/xserver.sh <command...>
#   runs the command with DISPLAY set, stops exactly that X server and exits
#   with the command's status.
# Sourced:        source scripts/xserver.sh; xserver_start LOG [WxHxD]; ...; xserver_stop
#   xserver_start sets XSERVER_PID and XSERVER_DISPLAY (":N"), and waits
#   until the server answers; the screen defaults to 1280x1024x24.

xserver_start() {
    local log=$1 screen=${2:-1280x1024x24} number_file
    if ! command -v Xvfb >/dev/null || ! command -v xdpyinfo >/dev/null; then
        echo "xserver: Xvfb and xdpyinfo are needed (scripts/install-deps.sh)" >&2
        return 1
    fi
    number_file=$(mktemp "${TMPDIR:-/tmp}/scrivola-display.XXXXXX") || return 1
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset \
        3>"$number_file" >"$log" 2>&1 &
    XSERVER_PID=$!
    for _ in $(seq 200); do
        [ -s "$number_file" ] && break
        kill -0 "$XSERVER_PID" 2>/dev/null || break
        sleep 0.1
    done
    XSERVER_DISPLAY=":$(head -n 1 "$number_file")"
    rm -f "$number_file"
    if [ "$XSERVER_DISPLAY" = ":" ]; then
        echo "xserver: Xvfb did not start: $(cat "$log")" >&2
        xserver_stop
        return 1
    fi
    for _ in $(seq 200); do
        DISPLAY=$XSERVER_DISPLAY timeout 2 xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "xserver: X server $XSERVER_DISPLAY does not answer" >&2
    xserver_stop
    return 1
}

# Stops the X server xserver_start started (only that process).
xserver_stop() {
    local pid=${XSERVER_PID:-}
    XSERVER_PID=""
    [ -n "$pid" ] || return 0
    kill -TERM "$pid" 2>/dev/null || return 0
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return 0; }
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 0
}

# Sourced: only define the functions.
if [ "${BASH_SOURCE[0]}" != "$0" ]; then
    return 0
fi

set -u
if [ $# = 0 ]; then
    echo "usage: $0 <command...>" >&2
    exit 2
fi
XSERVER_LOG=$(mktemp "${TMPDIR:-/tmp}/scrivola-xvfb.XXXXXX.log")
trap 'xserver_stop; rm -f "$XSERVER_LOG"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
xserver_start "$XSERVER_LOG" || exit 1
export DISPLAY=$XSERVER_DISPLAY
unset WAYLAND_DISPLAY
status=0
"$@" || status=$?
exit "$status"
