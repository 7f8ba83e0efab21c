#!/usr/bin/env bash
# A private desktop, arranged as Debian 12's desktops arrange sound: a
# normal user (created if absent) whose session bus, pipewire, wireplumber
# and pipewire-pulse run the graph at 48 kHz, and a system bus with polkitd
# and rtkit-daemon where a polkit rule grants that user real time, standing
# in for an active login session. The user's programs then get real time
# the way a desktop's do: by asking RealtimeKit.
#
# Needs root (to create the user, run the system daemons and switch user).
# The system bus is a private one on its own socket: the machine's
# /run/dbus, and any system bus or RealtimeKit already running, are left
# alone. polkitd reads its rules from a private folder mounted over
# /etc/polkit-1/rules.d in a mount namespace of its own (where namespaces are
# forbidden, the rule is put in that folder while the session runs).
#
# As a wrapper:   scripts/desktop-env.sh <command...>
# Sourced:        source scripts/desktop-env.sh; desktop_env_start; ...; desktop_env_stop
# Exports what scripts/pipewire-env.sh exports (SCRIVOLA_SOUND_SERVER is
# "desktop"), and:
#   DBUS_SYSTEM_BUS_ADDRESS  the private system bus
#   SCRIVOLA_DESKTOP_USER    the user the session runs as
#   SCRIVOLA_MONITOR_RATE    48000, the graph's rate, for scripts/record-monitor.sh
#   SCRIVOLA_MONITOR_LATENCY_MS  what the recorder asks for: no less than
#                            the graph's default cycle (1024 frames)
#   SCRIVOLA_SOUND_ENV       this script, so the command can run
#       "$SCRIVOLA_SOUND_ENV" as-user <command...>  a command as the user
#       "$SCRIVOLA_SOUND_ENV" daemon-stop    stop the session's sound daemons
#       "$SCRIVOLA_SOUND_ENV" daemon-start   start them again in the same folder
# Stops exactly the processes it started, by PID.

DESKTOP_ENV_SCRIPT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")"
DESKTOP_ENV_USER=${SCRIVOLA_DESKTOP_USER:-scrivola-desktop}
DESKTOP_ENV_SYSTEM=(system-bus polkitd rtkit-daemon)
DESKTOP_ENV_RATE=48000
# Runs a command as the user, with the environment as it is.
DESKTOP_ENV_AS=(setpriv --reuid="$DESKTOP_ENV_USER" --regid="$DESKTOP_ENV_USER" --init-groups)

# shellcheck source=pipewire-env.sh
source "$(dirname "$DESKTOP_ENV_SCRIPT")/pipewire-env.sh"
PIPEWIRE_ENV_AS=("${DESKTOP_ENV_AS[@]}")
PIPEWIRE_ENV_RAISE=0

_desktop_env_user() {
    id -u "$DESKTOP_ENV_USER" >/dev/null 2>&1 && return 0
    # Another run may be creating it at the same moment.
    useradd --user-group --no-create-home --home-dir /nonexistent --shell /bin/bash \
        --comment "Scrivola desktop test user" "$DESKTOP_ENV_USER" ||
        id -u "$DESKTOP_ENV_USER" >/dev/null 2>&1
}

# The system bus: the system policies of the installed services, on a
# socket of its own.
_desktop_env_system_config() {
    local system=$1
    cat >"$system/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <auth>EXTERNAL</auth>
  <listen>unix:path=$system/bus</listen>
  <policy context="default">
    <allow user="*"/>
    <deny own="*"/>
    <deny send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_requested_reply="true" send_type="method_return"/>
    <allow send_requested_reply="true" send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
    <allow receive_type="signal"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus"/>
    <allow send_destination="org.freedesktop.DBus"
           send_interface="org.freedesktop.DBus.Introspectable"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus.Properties"/>
  </policy>
  <includedir>/usr/share/dbus-1/system.d</includedir>
</busconfig>
CONF
    mkdir -m 755 "$system/rules.d"
    cat >"$system/rules.d/50-scrivola-desktop.rules" <<RULES
// The user of an active local session may have real time; the test user
// has no session, so it is named here.
polkit.addRule(function(action, subject) {
    if ((action.id == "org.freedesktop.RealtimeKit1.acquire-real-time" ||
         action.id == "org.freedesktop.RealtimeKit1.acquire-high-priority") &&
        subject.user == "$DESKTOP_ENV_USER") {
        return polkit.Result.YES;
    }
});
RULES
    chmod 644 "$system/rules.d/50-scrivola-desktop.rules"
}

# Waits (at most ~10 s) until the service $2 owns its name on the bus.
_desktop_env_wait_name() {
    local system=$1 name=$2
    for _ in $(seq 100); do
        DBUS_SYSTEM_BUS_ADDRESS="unix:path=$system/bus" timeout 2 dbus-send --system \
            --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner "string:$name" 2>/dev/null |
            grep -q "boolean true" && return 0
        sleep 0.1
    done
    echo "desktop-env: $name did not appear on the system bus; the logs:" >&2
    tail -n 20 "$system"/*.log >&2
    return 1
}

_desktop_env_start_system() {
    local system=$1
    dbus-daemon --config-file="$system/bus.conf" --nofork --nopidfile \
        </dev/null >>"$system/system-bus.log" 2>&1 &
    echo $! >"$system/system-bus.pid"
    for _ in $(seq 100); do
        [ -S "$system/bus" ] && break
        sleep 0.1
    done
    export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$system/bus"
    # polkitd switches to its own user once started; unshare execs it, so
    # the PID is polkitd's.
    if unshare --mount --propagation private true 2>/dev/null; then
        unshare --mount --propagation private sh -c \
            'mount --bind "$1" /etc/polkit-1/rules.d && exec /usr/lib/polkit-1/polkitd --no-debug' \
            sh "$system/rules.d" </dev/null >>"$system/polkitd.log" 2>&1 &
    else
        # Where mount namespaces are forbidden (some containers), the rule
        # goes where polkitd reads rules, for as long as the session runs.
        local rule
        rule="/etc/polkit-1/rules.d/50-$(basename "$(dirname "$system")").rules"
        cp "$system/rules.d/50-scrivola-desktop.rules" "$rule" || return 1
        echo "$rule" >"$system/installed-rule"
        /usr/lib/polkit-1/polkitd --no-debug </dev/null >>"$system/polkitd.log" 2>&1 &
    fi
    echo $! >"$system/polkitd.pid"
    _desktop_env_wait_name "$system" org.freedesktop.PolicyKit1 || return 1
    # Resource limits off: its file-size limit of 0 would kill it at its
    # first line of log.
    /usr/libexec/rtkit-daemon --stderr --no-limit-resources </dev/null \
        >>"$system/rtkit-daemon.log" 2>&1 &
    echo $! >"$system/rtkit-daemon.pid"
    _desktop_env_wait_name "$system" org.freedesktop.RealtimeKit1
}

desktop_env_start() {
    local dir name
    if [ "$(id -u)" -ne 0 ]; then
        echo "desktop-env: needs root (it creates a user and runs system daemons)" >&2
        return 1
    fi
    for name in /usr/libexec/rtkit-daemon /usr/lib/polkit-1/polkitd; do
        if [ ! -x "$name" ]; then
            echo "desktop-env: $name is needed (scripts/install-deps.sh)" >&2
            return 1
        fi
    done
    _desktop_env_user || return 1
    dir=$(mktemp -d "${TMPDIR:-/tmp}/scrivola-desktop.XXXXXX") || return 1
    chmod 755 "$dir"
    mkdir -m 755 "$dir/system"
    _desktop_env_system_config "$dir/system"
    _pipewire_env_prepare "$dir" "default.clock.rate = $DESKTOP_ENV_RATE
    default.clock.allowed-rates = [ $DESKTOP_ENV_RATE ]"
    chown -R "$DESKTOP_ENV_USER:$DESKTOP_ENV_USER" "$dir/home" "$dir/run" "$dir/config"
    export SCRIVOLA_SOUND_SERVER=desktop
    export SCRIVOLA_SOUND_ENV="$DESKTOP_ENV_SCRIPT"
    export SCRIVOLA_DESKTOP_USER="$DESKTOP_ENV_USER"
    export SCRIVOLA_MONITOR_RATE=$DESKTOP_ENV_RATE
    export SCRIVOLA_MONITOR_LATENCY_MS=40
    export USER="$DESKTOP_ENV_USER" LOGNAME="$DESKTOP_ENV_USER"
    if ! _desktop_env_start_system "$dir/system"; then
        desktop_env_stop
        return 1
    fi
    _pipewire_env_launch "$dir"
    if ! _pipewire_env_wait_ready "$dir"; then
        desktop_env_stop
        return 1
    fi
}

desktop_env_stop() {
    local dir=${SCRIVOLA_SOUND_DIR:-}
    [ -n "$dir" ] && [ -d "$dir" ] || return 0
    _pipewire_env_kill "$dir"
    _pipewire_env_kill_named "$dir/system" "${DESKTOP_ENV_SYSTEM[@]}"
    if [ -f "$dir/system/installed-rule" ]; then
        rm -f "$(cat "$dir/system/installed-rule")"
    fi
    rm -rf "$dir"
    unset SCRIVOLA_SOUND_DIR PULSE_SERVER DBUS_SYSTEM_BUS_ADDRESS
}

# desktop_env_reachable PATH: whether the user may run the program PATH, or
# enter the folder PATH.
desktop_env_reachable() {
    "${DESKTOP_ENV_AS[@]}" test -x "$1"
}

# Sourced: only define the functions.
if [ "${BASH_SOURCE[0]}" != "$0" ]; then
    return 0
fi

set -u
case "${1:-}" in
    "")
        echo "usage: $0 <command...> | as-user <command...> | daemon-stop | daemon-start" >&2
        exit 2
        ;;
    as-user)
        shift
        exec "${DESKTOP_ENV_AS[@]}" "$@"
        ;;
    daemon-stop)
        _pipewire_env_kill "${SCRIVOLA_SOUND_DIR:?run under desktop-env.sh}"
        exit 0
        ;;
    daemon-start)
        _pipewire_env_restart "${SCRIVOLA_SOUND_DIR:?run under desktop-env.sh}"
        exit $?
        ;;
esac
trap desktop_env_stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
desktop_env_start || exit 1
status=0
"$@" || status=$?
exit "$status"
