#!/usr/bin/env bash
# Saves a picture of the main window as it starts, for the README.
#
#   scripts/screenshot.sh [binary] [output.png]
#
# Starts its own Xvfb on a free display, runs the app there with the private
# PulseAudio of scripts/pulse-env.sh (the app needs a sound device), waits for
# the window, captures it with ImageMagick's `import` and stops exactly what it
# started. Defaults: build/release/ui/scrivola-synth and docs/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."

BINARY=${1:-build/release/ui/scrivola-synth}
OUTPUT=${2:-docs/screenshot.png}
[ -x "$BINARY" ] || { echo "screenshot: no binary at $BINARY" >&2; exit 1; }
mkdir -p "$(dirname "$OUTPUT")"

display_number=99
while [ -e "/tmp/.X11-unix/X$display_number" ] || [ -e "/tmp/.X$display_number-lock" ]; do
    display_number=$((display_number + 1))
done
export DISPLAY=":$display_number"

# shellcheck source=pulse-env.sh
source scripts/pulse-env.sh

xvfb_pid=""
app_pid=""
pulse_started=""
cleanup() {
    if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
    fi
    if [ -n "$pulse_started" ]; then
        pulse_env_stop || true
    fi
    if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT

Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    timeout 2 xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done

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

# Let the first ticks draw the scopes and meters.
sleep 1
timeout 10 import -window "$window" "$OUTPUT"
echo "screenshot: saved $OUTPUT"
