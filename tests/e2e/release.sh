#!/usr/bin/env bash
# Pen-up silences both voices for one sample and reloads the level from the
# level slider (90), which the running decay timer then lowers again; with
# the decay slider at its maximum the level falls ten steps at a time.
source "$(dirname "$0")/harness.sh"
e2e_begin release
e2e_start_sound_server
e2e_start_recording
e2e_start_app
sleep 0.5

e2e_pen_down 286 300
sleep 0.1
e2e_surface_move 287 300
e2e_mark moved
sleep 2.2 # until the fade has ended
e2e_mark release
e2e_pen_up
sleep 2.0 # the reloaded 90 fades in about 1.4 s

# Decay slider to its maximum: click it to focus it, then End.
e2e_xdo windowfocus --sync "$E2E_WINDOW" || e2e_fail "cannot focus the window"
e2e_click_twips 240 4800 1095 375
sleep 0.1
e2e_xdo key End || e2e_fail "cannot press End"
sleep 0.2
# The press stores the new step; the level is 0 by now, so it stays silent
# until the release reloads 90.
e2e_pen_down 287 300
sleep 0.3
e2e_mark release10
e2e_pen_up
sleep 0.8
e2e_mark end
e2e_stop_recording

e2e_tables "$E2E_DIR/tone1.txt" --tone 1 --levels 0 100
# The held fade ends in silence before the release...
e2e_check fade --tables "$E2E_DIR/tone1.txt" --start moved --end release \
    --step 1 --first-min 70 --first-max 100
# ...after which the sound comes back at the slider's 90 and fades again.
e2e_check fade --tables "$E2E_DIR/tone1.txt" --start release --end release10 \
    --step 1 --first-min 80 --first-max 90
e2e_check fade --tables "$E2E_DIR/tone1.txt" --start release10 --end end \
    --step 10 --first-min 70 --first-max 90

# On PipeWire the stream stays connected through the silence, inactive: the
# next note plays on the same node, without a new connection.
if [ "$SCRIVOLA_SOUND_SERVER" = pipewire ]; then
    before=$(e2e_stream_props | head -n 1)
    e2e_wait_for 5 grep -q "stream stopped for silence" "$E2E_DIR/audio.log" ||
        e2e_fail "the silent output was not stopped"
    [ "$(e2e_stream_props | head -n 1)" = "$before" ] || e2e_fail "the stream went with the silence"
    e2e_pen_down 287 300
    e2e_pen_up
    e2e_wait_for 5 grep -q "starting the stream for sound" "$E2E_DIR/audio.log" ||
        e2e_fail "the output did not start again for the note"
    after=$(e2e_stream_props | head -n 1)
    [ "$after" = "$before" ] || e2e_fail "a new stream ($after) played after the silence, not $before"
fi
