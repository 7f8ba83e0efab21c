#!/usr/bin/env bash
# A private PipeWire, as Debian 12's desktops run it: a session bus, the
# pipewire daemon, the wireplumber session manager and the PulseAudio
# service pipewire-pulse, all under a private runtime folder. Without sound
# cards its default output is the automatic null sink "auto_null".
#
# As a wrapper:   scripts/pipewire-env.sh <command...>
# Sourced:        source scripts/pipewire-env.sh; pipewire_env_start; ...; pipewire_env_stop
# Exports the same as scripts/pulse-env.sh (the program plays through a
# PipeWire stream of its own; the recorder reaches pipewire-pulse):
#   PULSE_SERVER, PIPEWIRE_REMOTE, DBUS_SESSION_BUS_ADDRESS   reach the servers
#                         (PipeWire's own socket, also for clients that run
#                         in a runtime folder of their own)
#   SCRIVOLA_MONITOR      the monitor to record (scripts/record-monitor.sh)
#   SCRIVOLA_SOUND_SERVER "pipewire"
#   SCRIVOLA_SOUND_DIR    the private folder (logs in *.log)
#   SCRIVOLA_SOUND_ENV    this script, so the command can run
#       "$SCRIVOLA_SOUND_ENV" daemon-stop    stop the daemons (the sound server vanishes)
#       "$SCRIVOLA_SOUND_ENV" daemon-start   start them again in the same folder
# Stops exactly the processes it started, by PID.
#
# scripts/desktop-env.sh runs the same daemons as a normal user, at a 48 kHz
# graph, with real time from RealtimeKit; it sets these before starting them:
#   PIPEWIRE_ENV_AS     the command prefix that runs a daemon as that user
#   PIPEWIRE_ENV_RAISE  0: leave the daemons' priorities to them

PIPEWIRE_ENV_DAEMONS=(dbus-daemon pipewire wireplumber pipewire-pulse)
PIPEWIRE_ENV_SCRIPT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")"
[ -n "${PIPEWIRE_ENV_AS+set}" ] || PIPEWIRE_ENV_AS=()
PIPEWIRE_ENV_RAISE=${PIPEWIRE_ENV_RAISE:-1}

_pipewire_env_launch() {
    local dir=$1 name
    for name in "${PIPEWIRE_ENV_DAEMONS[@]}"; do
        case "$name" in
            dbus-daemon)
                "${PIPEWIRE_ENV_AS[@]}" dbus-daemon --session --nofork --nopidfile --address="unix:path=$dir/run/bus" \
                    </dev/null >>"$dir/$name.log" 2>&1 &
                ;;
            *)
                "${PIPEWIRE_ENV_AS[@]}" "$name" </dev/null >>"$dir/$name.log" 2>&1 &
                ;;
        esac
        echo $! >"$dir/$name.pid"
        # The next one connects to this one's socket: wait for it.
        local socket=""
        case "$name" in
            dbus-daemon) socket="$dir/run/bus" ;;
            pipewire) socket="$dir/run/pipewire-0" ;;
        esac
        if [ -n "$socket" ]; then
            for _ in $(seq 100); do
                [ -S "$socket" ] && break
                sleep 0.1
            done
        fi
    done
}

# The servers' threads that carry audio run at real-time priority on a
# desktop (through RealtimeKit); the PulseAudio service passes every stream's
# audio through its main thread, though, which stays at normal priority and,
# on a busy machine, wakes too late for a low-latency stream. Raises every
# thread of both, where the process may (quietly not, elsewhere).
_pipewire_env_raise() {
    local dir=$1 name
    [ "$PIPEWIRE_ENV_RAISE" = 1 ] || return 0
    for name in pipewire pipewire-pulse; do
        chrt -a -f -p 20 "$(cat "$dir/$name.pid")" >/dev/null 2>&1 || true
    done
}

# Waits (at most ~15 s) until pipewire-pulse answers and the null sink's
# monitor delivers samples.
_pipewire_env_wait_ready() {
    local dir=$1
    for _ in $(seq 150); do
        if timeout 2 pactl list short sinks 2>/dev/null | grep -q auto_null; then
            _pipewire_env_raise "$dir"
            timeout 8 bash -c "parec --raw --latency-msec=10 --device=auto_null.monitor | head -c 4" \
                >/dev/null 2>&1 || true
            return 0
        fi
        sleep 0.1
    done
    echo "pipewire-env: no auto_null sink appeared; the logs:" >&2
    tail -n 20 "$dir"/*.log >&2
    return 1
}

_pipewire_env_kill() {
    _pipewire_env_kill_named "$1" "${PIPEWIRE_ENV_DAEMONS[@]}"
}

# _pipewire_env_kill_named DIR NAME...: stops, last first, the processes
# whose PIDs DIR/NAME.pid hold.
_pipewire_env_kill_named() {
    local dir=$1 i pid
    shift
    local names=("$@")
    for ((i = ${#names[@]} - 1; i >= 0; i--)); do
        local file="$dir/${names[i]}.pid"
        [ -f "$file" ] || continue
        pid=$(cat "$file")
        rm -f "$file"
        [ -n "$pid" ] || continue
        kill -TERM "$pid" 2>/dev/null || continue
        kill -CONT "$pid" 2>/dev/null || true
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
    done
}

# _pipewire_env_prepare DIR CLOCK: the private folders under DIR, the graph's
# clock settings CLOCK, and the variables that reach the servers.
_pipewire_env_prepare() {
    local dir=$1 clock=$2
    mkdir -m 700 "$dir/home" "$dir/run" "$dir/config" "$dir/config/pipewire" \
        "$dir/config/pipewire/pipewire.conf.d"
    cat >"$dir/config/pipewire/pipewire.conf.d/scrivola-rates.conf" <<CONF
context.properties = {
    $clock
}
CONF
    export SCRIVOLA_SOUND_DIR="$dir"
    export SCRIVOLA_MONITOR=auto_null.monitor
    export HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" XDG_CONFIG_HOME="$dir/config"
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/run/bus"
    export PULSE_SERVER="unix:$dir/run/pulse/native"
    export PIPEWIRE_REMOTE="$dir/run/pipewire-0"
    unset PULSE_CLIENTCONFIG
}

# Starts the stopped daemons again in the same folder $1.
_pipewire_env_restart() {
    local dir=$1
    # The sockets the stopped daemons leave behind would be taken for the
    # new ones' before these listen.
    rm -rf "$dir/run/bus" "$dir/run/pipewire-0" "$dir/run/pipewire-0.lock" "$dir/run/pulse"
    HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" XDG_CONFIG_HOME="$dir/config" \
        DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/run/bus" _pipewire_env_launch "$dir"
    _pipewire_env_wait_ready "$dir"
}

pipewire_env_start() {
    local dir name
    for name in "${PIPEWIRE_ENV_DAEMONS[@]}" pactl parec; do
        if ! command -v "$name" >/dev/null; then
            echo "pipewire-env: $name is needed (scripts/install-deps.sh)" >&2
            return 1
        fi
    done
    dir=$(mktemp -d "${TMPDIR:-/tmp}/scrivola-pipewire.XXXXXX") || return 1
    # The graph may run at the program's rate, so that what it plays reaches
    # the monitor without resampling.
    _pipewire_env_prepare "$dir" "default.clock.allowed-rates = [ 44100 48000 ]"
    export SCRIVOLA_SOUND_SERVER=pipewire
    export SCRIVOLA_SOUND_ENV="$PIPEWIRE_ENV_SCRIPT"
    _pipewire_env_launch "$dir"
    if ! _pipewire_env_wait_ready "$dir"; then
        pipewire_env_stop
        return 1
    fi
}

pipewire_env_stop() {
    local dir=${SCRIVOLA_SOUND_DIR:-}
    [ -n "$dir" ] && [ -d "$dir" ] || return 0
    _pipewire_env_kill "$dir"
    rm -rf "$dir"
    unset SCRIVOLA_SOUND_DIR PULSE_SERVER PIPEWIRE_REMOTE
}

# Sourced: only define the functions.
if [ "${BASH_SOURCE[0]}" != "$0" ]; then
    return 0
fi

set -u
case "${1:-}" in
    "")
        echo "usage: $0 <command...> | daemon-stop | daemon-start" >&2
        exit 2
        ;;
    daemon-stop)
        _pipewire_env_kill "${SCRIVOLA_SOUND_DIR:?run under pipewire-env.sh}"
        exit 0
        ;;
    daemon-start)
        _pipewire_env_restart "${SCRIVOLA_SOUND_DIR:?run under pipewire-env.sh}"
        exit $?
        ;;
esac
trap pipewire_env_stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
pipewire_env_start || exit 1
status=0
"$@" || status=$?
exit "$status"
