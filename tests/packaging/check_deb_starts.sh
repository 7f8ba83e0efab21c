#!/usr/bin/env bash
# The packaged program, unpacked into a temporary root, starts on a private
# X server (Xvfb) with the private PulseAudio of scripts/pulse-env.sh: its
# window is mapped, carries an icon and the window class named in the packaged
# desktop entry, and its sound stream reaches the sound server.
#   scripts/pulse-env.sh check_deb_starts.sh <dir-with-the-deb> <app-id>
set -euo pipefail
out=$1 id=$2
: "${PULSE_SERVER:?run under scripts/pulse-env.sh}"

debs=("$out"/scrivola-synth_*.deb)
[ -f "${debs[0]}" ] || { echo "FAIL: no package in $out" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/scrivola-debrun.XXXXXX")
app_pid="" xvfb_pid=""

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
cleanup() {
    stop_process "$app_pid"
    stop_process "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

show_logs() {
    echo "--- program output:" >&2
    cat "$work/app.log" >&2 2>/dev/null || true
    echo "--- Xvfb output:" >&2
    cat "$work/xvfb.log" >&2 2>/dev/null || true
}
die() {
    echo "FAIL: $*" >&2
    show_logs
    exit 1
}

dpkg -x "${debs[0]}" "$work/root"
mkdir -m 700 "$work/home" "$work/run"

# Xvfb chooses a free display number itself and writes it to fd 3 once it
# accepts connections, so parallel X servers never collide.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || die "Xvfb did not start"
    sleep 0.1
done
display=":$(head -n 1 "$work/display")"
[ "$display" != ":" ] || die "Xvfb reported no display"

DISPLAY=$display QT_QPA_PLATFORM=xcb HOME=$work/home XDG_RUNTIME_DIR=$work/run \
    "$work/root/usr/bin/scrivola-synth" >"$work/app.log" 2>&1 &
app_pid=$!

window=$(DISPLAY=$display timeout 20 xdotool search --sync --onlyvisible --pid "$app_pid" |
    head -n 1) || true
[ -n "$window" ] || die "no window of the packaged program appeared within 20 s"

wm_class=$(DISPLAY=$display xprop -id "$window" WM_CLASS)
entry="$work/root/usr/share/applications/$id.desktop"
[ -f "$entry" ] || die "the package holds no $id.desktop"
wm_class_entry=$(sed -n 's/^StartupWMClass=//p' "$entry")
grep -qF "= \"$wm_class_entry\"," <<<"$wm_class" ||
    die "window class ($wm_class) does not match StartupWMClass=$wm_class_entry"
DISPLAY=$display xprop -id "$window" -len 8 _NET_WM_ICON | grep -q '_NET_WM_ICON(CARDINAL) =' ||
    die "the window has no icon"

stream=""
for _ in $(seq 100); do
    stream=$(timeout 5 pactl list short sink-inputs || true)
    [ -n "$stream" ] && break
    sleep 0.1
done
[ -n "$stream" ] || die "the program opened no stream on the test's sound server"

kill -0 "$app_pid" 2>/dev/null || die "the program ended on its own"
echo "packaged program runs: window $window on $display, class $wm_class"
