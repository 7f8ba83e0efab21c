#!/usr/bin/env bash
# Saves a picture of the main window being played, for the README.
#
#   scripts/screenshot.sh [binary] [output.png]
#
# Starts its own X server (scripts/xserver.sh), runs the app there with the private
# PulseAudio of scripts/pulse-env.sh (the app needs a sound device), waits for
# the window, draws a few strokes with xdotool, captures the window with
# ImageMagick's `import` while the pen is down and stops exactly what it
# started. Defaults: build/release/ui/scrivola-synth and docs/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."

BINARY=${1:-build/release/ui/scrivola-synth}
OUTPUT=${2:-docs/screenshot.png}
[ -x "$BINARY" ] || { echo "screenshot: no binary at $BINARY" >&2; exit 1; }
mkdir -p "$(dirname "$OUTPUT")"

# shellcheck source=pulse-env.sh
source scripts/pulse-env.sh
# shellcheck source=xserver.sh
source scripts/xserver.sh

app_pid=""
pulse_started=""
xvfb_log=$(mktemp "${TMPDIR:-/tmp}/scrivola-xvfb.XXXXXX")
cleanup() {
    if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
    fi
    if [ -n "$pulse_started" ]; then
        pulse_env_stop || true
    fi
    xserver_stop
    rm -f "$xvfb_log"
}
trap cleanup EXIT

xserver_start "$xvfb_log" 1024x768x24
export DISPLAY=$XSERVER_DISPLAY

pulse_env_start
pulse_started=1
QT_QPA_PLATFORM=xcb "$BINARY" &
app_pid=$!

window=""
for _ in $(seq 100); do
    window=$(timeout 2 xdotool search --onlyvisible --name SCRIVOLA 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "screenshot: the window did not appear" >&2; exit 1; }

# Every xdotool call runs under `timeout`: without a window manager some of
# them can wait forever.
xdo() { timeout 5 xdotool "$@"; }

# The client area is 698 px high; what is above it is the menu bar.
height=$(xdo getwindowgeometry --shell "$window" | sed -n 's/^HEIGHT=//p')
top=$((height - 698))
at() { xdo mousemove --window "$window" "$1" $(("$2" + top)); }

# Play a little so the picture shows strokes, traces and meters: each stroke
# picks a swatch (centres at x 128, y as laid out) and draws a wave across the
# surface with the pen held down. The level fades in about 1.4 s, so the
# capture is taken early in the last stroke.
wave=(0 5 9 10 9 5 0 -5 -9 -10 -9 -5)
stroke() {
    local swatch_y=$1 y0=$2 amplitude=$3 last_x=$4 x step=0
    at 128 "$swatch_y"; xdo click 1; sleep 0.1
    at 200 "$y0"; xdo mousedown 1
    for x in $(seq 200 8 "$last_x"); do
        at "$x" $((y0 + amplitude * wave[step % 12] / 10)); step=$((step + 1))
    done
}
stroke 40 110 24 520; xdo mouseup 1    # green
stroke 304 260 40 520; xdo mouseup 1   # magenta
stroke 184 420 16 520; xdo mouseup 1   # blue
stroke 400 560 30 330                  # white, pen still down for the capture
timeout 10 import -window "$window" "$OUTPUT"
xdo mouseup 1 || true
echo "screenshot: saved $OUTPUT"
