#!/usr/bin/env bash
# The packaged program, unpacked into a temporary root, starts on a private
# X server (Xvfb) with the private PulseAudio of scripts/pulse-env.sh: its
# window is mapped, carries an icon and the window class named in the packaged
# desktop entry, and its sound stream reaches the sound server.
#   scripts/pulse-env.sh check_deb_starts.sh <dir-with-the-deb> <app-id>
set -euo pipefail
out=$1 id=$2
: "${PULSE_SERVER:?run under scripts/pulse-env.sh}"
source "$(dirname "$0")/session.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/scrivola-debrun.XXXXXX")
app_pid="" xvfb_pid=""
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

unpack_deb "$out" "$work"
mkdir -m 700 "$work/home" "$work/run"
start_xvfb "$work/xvfb.log" || die "no X server"

start_on_x11 "$work/root/usr/bin/scrivola-synth" "$work" "$work/app.log" ||
    die "no window of the packaged program appeared within 20 s"

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
