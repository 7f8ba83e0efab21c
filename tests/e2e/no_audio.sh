#!/usr/bin/env bash
# No audio output at start: no sound server answers and ALSA has no device.
# The program shows no window, writes one line to stderr saying that no audio
# output could be opened and why, and ends with a non-zero status.
source "$(dirname "$0")/harness.sh"
e2e_begin no_audio

nowhere="$E2E_DIR/nowhere"
mkdir -p "$nowhere"
echo "autospawn = no" >"$nowhere/client.conf"
: >"$nowhere/asound.conf" # an ALSA configuration that defines no device
export PULSE_SERVER="unix:$nowhere/no-such-socket" PULSE_CLIENTCONFIG="$nowhere/client.conf"
export DBUS_SESSION_BUS_ADDRESS=disabled: ALSA_CONFIG_PATH="$nowhere/asound.conf"

"$SCRIVOLA_APP" >"$E2E_DIR/app.stdout" 2>"$E2E_DIR/app.stderr" &
E2E_APP_PID=$!
E2E_PIDS+=("$E2E_APP_PID")
# Watch for a window for as long as the program runs.
shown=""
deadline=$((SECONDS + 30))
while e2e_app_running; do
    ((SECONDS < deadline)) || e2e_fail "the program still runs after 30 s"
    shown=$(e2e_xdo search --onlyvisible --name '.' 2>/dev/null | head -n 1)
    [ -z "$shown" ] || e2e_fail "a window was shown: $(e2e_xdo getwindowname "$shown")"
    sleep 0.02
done
wait "$E2E_APP_PID"
status=$?
e2e_log "status $status; stderr:"
sed 's/^/    /' "$E2E_DIR/app.stderr"

[ "$status" != 0 ] || e2e_fail "the program ended with status 0"
lines=$(grep -c . "$E2E_DIR/app.stderr")
[ "$lines" = 1 ] || e2e_fail "stderr holds $lines lines, expected one"
grep -qi 'audio output' "$E2E_DIR/app.stderr" ||
    e2e_fail "stderr does not say that no audio output could be opened"
grep -qiE 'pulseaudio|alsa' "$E2E_DIR/app.stderr" ||
    e2e_fail "stderr does not say why (which outputs were tried)"
