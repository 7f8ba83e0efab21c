#!/usr/bin/env bash
# White pen pressed and held at tone 1: a 122.5 Hz sine whose loop passes are
# the core's tables, fading by one step per decay tick into silence.
source "$(dirname "$0")/harness.sh"
e2e_begin press_hold
e2e_start_sound_server
e2e_start_recording
e2e_start_app
sleep 0.5

# On PipeWire the program's own stream carries what a desktop's volume
# control shows of it.
if [ "$SCRIVOLA_SOUND_SERVER" = pipewire ]; then
    props=$(e2e_stream_props)
    for want in media.type=Audio media.category=Playback media.role=Music \
        "application.name=Scrivola Synth" "node.description=Scrivola Synth" \
        application.icon-name=io.github.scrivola.ScrivolaSynth; do
        grep -qxF "$want" <<<"$props" || e2e_fail "the stream lacks $want: $props"
    done
fi

# A press alone leaves the pitch; a move with the pen down sets it. Surface
# x 286 px is 4290 twips: tone 4290 \ 200 - 20 = 1, and so is 287 px.
e2e_mark press
e2e_pen_down 286 300
sleep 0.1
e2e_surface_move 287 300
e2e_mark moved
sleep 2.6 # the fade from 100 takes about 1.6 s
e2e_mark held
e2e_pen_up
sleep 0.3
e2e_stop_recording

e2e_tables "$E2E_DIR/tone1.txt" --tone 1 --levels 0 100
e2e_check fade --tables "$E2E_DIR/tone1.txt" --start press --end held \
    --step 1 --first-min 70 --first-max 100
