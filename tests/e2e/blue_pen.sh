#!/usr/bin/env bash
# Voice B is silent while amsp is 0 (white pen); the blue pen sets amsp from
# x, so voice B sounds, at toneB = tone + y \ 200, beside voice A at tone.
source "$(dirname "$0")/harness.sh"
e2e_begin blue_pen
e2e_start_sound_server
e2e_start_recording
e2e_start_app
sleep 0.5

# x 287 px = 4305 twips: tone 1 and, for the blue pen, amsp 4305 \ 100 = 43.
# y 67 px = 1005 twips: toneB = 1 + 5 = 6; y 200 px = 3000 twips: 1 + 15 = 16.
stroke() { # x y: press, move a pixel to set the pitch, hold, release
    e2e_pen_down "$1" "$2"
    sleep 0.05
    e2e_surface_move $(($1 + 1)) "$2"
    e2e_mark "$3"
    sleep 0.8
    e2e_pen_up # the reloaded level keeps sounding at this pitch while it fades
    sleep 1.0
    e2e_mark "$3-end"
}

stroke 286 67 white
e2e_pick_swatch 1 # blue
stroke 286 67 blue6
stroke 286 200 blue16
e2e_stop_recording

# White: what sounds is exactly voice A's table, so voice B adds nothing.
e2e_tables "$E2E_DIR/tone1.txt" --tone 1 --toneB 6 --levels 0 100
e2e_check exact --tables "$E2E_DIR/tone1.txt" --start white --end white-end
e2e_check voices --start blue6 --end blue6-end --skip 0.1 --harmonic-a 1 --harmonic-b 6
e2e_check voices --start blue16 --end blue16-end --skip 0.1 --harmonic-a 1 --harmonic-b 16
