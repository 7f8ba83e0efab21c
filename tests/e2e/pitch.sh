#!/usr/bin/env bash
# Dragging the pen across the surface: each position's tone sets the pitch,
# n x 122.5 Hz, where n is the tone, raised by 4 when negative.
source "$(dirname "$0")/harness.sh"
e2e_begin pitch
e2e_start_sound_server
e2e_start_recording
e2e_start_app
sleep 0.5

# Surface x in px -> twips -> tone -> pitch term:
#   287 -> 4305 -> 1 -> 1;  326 -> 4890 -> 4 -> 4;
#   193 -> 2895 -> -6 -> -2 + 4 = 2;  73 -> 1095 -> -15 -> -11 (sounds as 11)
e2e_mark press
e2e_pen_down 286 300
sleep 0.05
for x in 287 326 193 73; do
    e2e_surface_move "$x" 300
    sleep 0.25 # four positions within the 1.5 s that the level lasts
done
e2e_mark held
e2e_pen_up
sleep 0.2
e2e_stop_recording

e2e_check pitches --start press --end held --expect 1,4,2,11
