#!/usr/bin/env bash
# A private PulseAudio daemon whose default sink is a null sink, for tests
# that play real audio and record what was played.
#
# As a wrapper:   scripts/pulse-env.sh <command...>
#   starts the daemon, waits until it answers, runs the command with the
#   variables below exported, stops exactly the daemon it started and exits
#   with the command's status. Fails (status 1) when no daemon can be started.
# Sourced:        source scripts/pulse-env.sh; pulse_env_start; ...; pulse_env_stop
#
# Exported to the command:
#   PULSE_SERVER, PULSE_CLIENTCONFIG, DBUS_SESSION_BUS_ADDRESS  reach the daemon
#   SCRIVOLA_MONITOR        the monitor to record (scripts/record-monitor.sh)
#   SCRIVOLA_SOUND_SERVER   "pulseaudio"
#   SCRIVOLA_SOUND_DIR      the daemon's private folder; daemon.log is its
#                           debug log, which names every underrun of a stream
#   SCRIVOLA_PULSE_ENV, SCRIVOLA_SOUND_ENV   this script, so the command can run
#       "$SCRIVOLA_PULSE_ENV" daemon-stop    stop the daemon (the sound server vanishes)
#       "$SCRIVOLA_PULSE_ENV" daemon-start   start it again in the same folder
#       "$SCRIVOLA_PULSE_ENV" daemon-freeze  suspend the daemon (a hung server)
#       "$SCRIVOLA_PULSE_ENV" daemon-thaw    let it run again

PULSE_ENV_SCRIPT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")"
PULSE_ENV_SINK=scrivola_null

# Starts the daemon described by the files in $1 and records its PID there.
# Without shared memory every block goes over the socket: slower, but free of
# pulseaudio 16's memfd mix-ups between short-lived clients. Its threads ask
# for real-time scheduling, as a desktop's sound server has it: at normal
# priority the sink's thread wakes late on a busy machine and then takes more
# audio at once than a low-latency stream holds, and the output runs dry.
# Where the process may not have it the daemon goes on at normal priority.
_pulse_env_launch() {
    local dir=$1
    HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" DBUS_SESSION_BUS_ADDRESS=disabled: \
        PULSE_CLIENTCONFIG="$dir/client.conf" \
        pulseaudio -n -F "$dir/daemon.pa" --daemonize=no --use-pid-file=no \
        --exit-idle-time=-1 --system=no --realtime=yes --high-priority=yes --disable-shm=yes \
        --log-level=debug --log-time=yes --log-target=stderr </dev/null >>"$dir/daemon.log" 2>&1 &
    echo $! >"$dir/daemon.pid"
}

# Without shared memory the audio of every stream passes through the daemon's
# main thread, which the daemon leaves at normal priority: raise all of its
# threads, where the process may (quietly not, elsewhere).
_pulse_env_raise() {
    chrt -a -f -p 20 "$(cat "$1/daemon.pid")" >/dev/null 2>&1 || true
}

# Waits up to ~10 s until the daemon in $1 answers; prints its log on failure.
_pulse_env_wait_ready() {
    local dir=$1 pid
    pid=$(cat "$dir/daemon.pid")
    for _ in $(seq 100); do
        if PULSE_SERVER="unix:$dir/native" PULSE_CLIENTCONFIG="$dir/client.conf" \
            DBUS_SESSION_BUS_ADDRESS=disabled: timeout 2 pactl info >/dev/null 2>&1; then
            _pulse_env_raise "$dir"
            _pulse_env_wait_clocked "$dir"
            return 0
        fi
        if ! kill -0 "$pid" 2>/dev/null; then
            break
        fi
        sleep 0.1
    done
    echo "pulse-env: the PulseAudio daemon did not start; its log:" >&2
    cat "$dir/daemon.log" >&2
    return 1
}

# A fresh null sink first sleeps through one long block (about 2 s) before it
# follows the short latency the loopback asks for; until then new streams
# stall. Waits (at most 8 s) until its monitor delivers the first samples.
_pulse_env_wait_clocked() {
    local dir=$1
    PULSE_SERVER="unix:$dir/native" PULSE_CLIENTCONFIG="$dir/client.conf" \
        DBUS_SESSION_BUS_ADDRESS=disabled: timeout 8 bash -c \
        "parec --raw --latency-msec=10 --device=$PULSE_ENV_SINK.monitor | head -c 4" \
        >/dev/null 2>&1 || true
}

# Stops the daemon whose PID is recorded in $1 (only that process).
_pulse_env_kill() {
    local dir=$1 pid
    [ -f "$dir/daemon.pid" ] || return 0
    pid=$(cat "$dir/daemon.pid")
    rm -f "$dir/daemon.pid"
    [ -n "$pid" ] || return 0
    kill -TERM "$pid" 2>/dev/null || return 0
    kill -CONT "$pid" 2>/dev/null || true  # in case a test left it frozen
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
}

pulse_env_start() {
    local dir
    if ! command -v pulseaudio >/dev/null || ! command -v pactl >/dev/null; then
        echo "pulse-env: pulseaudio and pactl are needed (scripts/install-deps.sh)" >&2
        return 1
    fi
    dir=$(mktemp -d "${TMPDIR:-/tmp}/scrivola-pulse.XXXXXX") || return 1
    mkdir -m 700 "$dir/home" "$dir/run"
    echo "autospawn = no" >"$dir/client.conf"
    cat >"$dir/daemon.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/native
load-module module-null-sink sink_name=$PULSE_ENV_SINK rate=44100 channels=1 format=s16le sink_properties=device.description=Scrivola_null_output
# Keeps the sink clocked in 10 ms steps, as a sound card would be, instead of
# idling in 2 s blocks that stall every stream that connects.
load-module module-null-sink sink_name=scrivola_drain rate=44100 channels=1 format=s16le
load-module module-loopback source=$PULSE_ENV_SINK.monitor sink=scrivola_drain latency_msec=10 source_dont_move=1 sink_dont_move=1
set-default-sink $PULSE_ENV_SINK
PA
    _pulse_env_launch "$dir"
    export SCRIVOLA_SOUND_DIR="$dir"
    export SCRIVOLA_SOUND_SERVER=pulseaudio
    export SCRIVOLA_MONITOR="$PULSE_ENV_SINK.monitor"
    export SCRIVOLA_PULSE_ENV="$PULSE_ENV_SCRIPT"
    export SCRIVOLA_SOUND_ENV="$PULSE_ENV_SCRIPT"
    export PULSE_SERVER="unix:$dir/native"
    export PULSE_CLIENTCONFIG="$dir/client.conf"
    export DBUS_SESSION_BUS_ADDRESS=disabled:
    # A desktop's own PipeWire must not take the program's output here.
    export PIPEWIRE_REMOTE="$dir/no-pipewire"
    if ! _pulse_env_wait_ready "$dir"; then
        pulse_env_stop
        return 1
    fi
}

pulse_env_stop() {
    local dir=${SCRIVOLA_SOUND_DIR:-}
    [ -n "$dir" ] && [ -d "$dir" ] || return 0
    _pulse_env_kill "$dir"
    rm -rf "$dir"
    unset SCRIVOLA_SOUND_DIR PULSE_SERVER PULSE_CLIENTCONFIG PIPEWIRE_REMOTE
}

# Sourced: only define the functions.
if [ "${BASH_SOURCE[0]}" != "$0" ]; then
    return 0
fi

set -u
case "${1:-}" in
    "")
        echo "usage: $0 <command...> | daemon-stop | daemon-start | daemon-freeze | daemon-thaw" >&2
        exit 2
        ;;
    daemon-stop)
        _pulse_env_kill "${SCRIVOLA_SOUND_DIR:?run under pulse-env.sh}"
        exit 0
        ;;
    daemon-freeze | daemon-thaw)
        signal=STOP
        [ "$1" = daemon-thaw ] && signal=CONT
        kill -"$signal" "$(cat "${SCRIVOLA_SOUND_DIR:?run under pulse-env.sh}/daemon.pid")"
        exit $?
        ;;
    daemon-start)
        _pulse_env_launch "${SCRIVOLA_SOUND_DIR:?run under pulse-env.sh}"
        _pulse_env_wait_ready "$SCRIVOLA_SOUND_DIR"
        exit $?
        ;;
esac

trap pulse_env_stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
pulse_env_start || exit 1
status=0
"$@" || status=$?
if [ "$status" != 0 ] && [ -f "$SCRIVOLA_SOUND_DIR/daemon.log" ]; then
    echo "pulse-env: the command failed ($status); the daemon's log ends:" >&2
    tail -n 40 "$SCRIVOLA_SOUND_DIR/daemon.log" >&2
fi
exit "$status"
