#!/usr/bin/env bash
# The packaged program on a Wayland desktop: under a private headless Weston
# (Qt's Wayland plugin, no X server) its window maps and shows, pixel for
# pixel, what the same program shows on X11 (so its contents have the
# designed size), it plays to the sound server, and when the compositor
# closes the window (as a window's close button does) the program ends with
# status 0 and its sound stream is gone. Both runs record what they play:
# a recording keeps the sound stream open through silence.
#   scripts/pulse-env.sh check_deb_wayland.sh <dir-with-the-deb> <app-id> <weston-probe-module>
set -euo pipefail
out=$1 id=$2 probe_module=$3
: "${PULSE_SERVER:?run under scripts/pulse-env.sh}"
here=$(cd "$(dirname "$0")" && pwd)
source "$here/session.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/scrivola-wayland.XXXXXX")
app_pid="" xvfb_pid="" weston_pid=""
cleanup() {
    stop_process "$app_pid"
    stop_process "$weston_pid"
    stop_process "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

die() {
    echo "FAIL: $*" >&2
    for log in app-x11.log app.log weston.log; do
        [ -s "$work/$log" ] && { echo "--- $log:" >&2; tail -n 40 "$work/$log" >&2; }
    done
    exit 1
}

unpack_deb "$out" "$work"
program="$work/root/usr/bin/scrivola-synth"
mkdir -m 700 "$work/home" "$work/run" "$work/shots"

# The reference: the window's contents on X11, once two captures agree.
start_xvfb "$work/xvfb.log" || die "no X server"
start_on_x11 "$program" "$work" "$work/app-x11.log" --record "$work/x11.wav" ||
    die "no X11 window appeared within 20 s"
for shot in $(seq 20); do
    sleep 0.3
    DISPLAY=$display import -window "$window" "$work/x11-$shot.png"
    [ "$shot" -gt 1 ] && cmp -s <(convert "$work/x11-$shot.png" rgb:-) \
        <(convert "$work/x11-$((shot - 1)).png" rgb:-) && break
done
mv "$work/x11-$shot.png" "$work/x11.png"
stop_process "$app_pid"
stop_process "$xvfb_pid"
app_pid="" xvfb_pid=""

# A headless Weston drawing with the CPU renderer (so it can take
# screenshots: --debug allows the screenshooter), on a socket of its own in a
# private runtime folder, with the probe module that lists and closes windows.
socket=scrivola-wayland-$$
mkfifo "$work/probe"
touch "$work/report"
SCRIVOLA_WESTON_PROBE_FIFO=$work/probe SCRIVOLA_WESTON_PROBE_REPORT=$work/report \
    XDG_RUNTIME_DIR=$work/run weston --backend=headless-backend.so --use-pixman \
    --width=1280 --height=1024 --socket="$socket" --no-config --debug \
    --modules="$probe_module" --log="$work/weston.log" >"$work/weston.out" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
    [ -S "$work/run/$socket" ] && break
    kill -0 "$weston_pid" 2>/dev/null || die "Weston did not start"
    sleep 0.1
done
[ -S "$work/run/$socket" ] || die "Weston opened no socket within 10 s"

# Sends one command to the probe module and waits for its answer.
probe() {
    local answers
    answers=$(grep -c '^end$' "$work/report" || true)
    echo "$1" >"$work/probe"
    for _ in $(seq 50); do
        [ "$(grep -c '^end$' "$work/report" || true)" -gt "$answers" ] && return 0
        sleep 0.1
    done
    die "the probe module did not answer '$1'"
}
windows() {
    probe list
    awk '/^end$/ { n++; next } { line[n] = line[n] $0 "\n" } END { printf "%s", line[n - 1] }' \
        "$work/report"
}

env -u DISPLAY QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY="$socket" HOME="$work/home" \
    XDG_RUNTIME_DIR="$work/run" "$program" --record "$work/wayland.wav" >"$work/app.log" 2>&1 &
app_pid=$!
played_pid=$app_pid
listed=""
for _ in $(seq 100); do
    listed=$(windows)
    [ -n "$listed" ] && break
    kill -0 "$app_pid" 2>/dev/null || die "the program ended on its own"
    sleep 0.2
done
[ -n "$listed" ] || die "no window was mapped within 20 s"
[ "$(wc -l <<<"$listed")" = 1 ] || die "more than one window: $listed"
[[ $listed =~ app_id=$id\ .*surface=([0-9]+)x([0-9]+)\ at=(-?[0-9]+),(-?[0-9]+) ]] ||
    die "unexpected window: $listed"
read -r width height x y <<<"${BASH_REMATCH[*]:1}"
echo "Weston mapped: $listed"

# What the window shows: the X11 picture, somewhere inside its surface (the
# rest is the title bar and frame Qt draws on Wayland).
found=""
for shot in $(seq 20); do
    (cd "$work/shots" && WAYLAND_DISPLAY=$socket XDG_RUNTIME_DIR=$work/run \
        timeout 10 weston-screenshooter) || die "weston-screenshooter failed"
    latest=$(ls -t "$work/shots"/*.png | head -n 1)
    if found=$("$here/find_image.py" "$work/x11.png" "$latest" "$x" "$y" "$width" "$height"); then
        break
    fi
    rm -f "$work/shots"/*.png
    sleep 0.3
done
[[ $found == found* ]] ||
    die "the window does not show what it shows on X11 ($(file -b "$work/x11.png")): $found"
echo "the $(identify -format '%wx%h' "$work/x11.png") X11 picture is ${found} in the surface"

# Streams of the program on the test's sound server.
streams() {
    timeout 5 pactl list sink-inputs | grep -c "application.process.id = \"$played_pid\"" || true
}
for _ in $(seq 100); do
    [ "$(streams)" -gt 0 ] && break
    sleep 0.1
done
[ "$(streams)" -gt 0 ] || die "the program opened no stream on the test's sound server"

probe close
for _ in $(seq 100); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && die "the program still runs 10 s after its window was closed"
status=0
wait "$app_pid" || status=$?
app_pid=""
[ "$status" = 0 ] || die "the program ended with status $status after its window was closed"
for _ in $(seq 50); do
    [ "$(streams)" = 0 ] && break
    sleep 0.1
done
[ "$(streams)" = 0 ] || die "the program's sound stream outlived it"
echo "closing the window ended the program (status 0) and released its sound stream"
