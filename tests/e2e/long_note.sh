#!/usr/bin/env bash
# A note kept sounding for a minute, the pen pressed and lifted about once a
# second (each lift reloads the level, so the sound never fades out): the
# recording holds only the core's tables, and its gaps are counted beside
# the underruns the program and the sound server counted, to tell whose
# they were.
source "$(dirname "$0")/harness.sh"
e2e_begin long_note
e2e_start_sound_server
e2e_start_recording
e2e_start_app
sleep 0.5

# Tone 1 (surface x 287 px); later presses without a move keep it.
e2e_pen_down 286 300
sleep 0.1
e2e_surface_move 287 300
e2e_pen_up
sleep 0.2
e2e_mark start
e2e_log "real-time threads: $(e2e_realtime_threads)"
for _ in $(seq "${E2E_LONG_NOTE_SECONDS:-60}"); do
    sleep 0.45
    e2e_xdo mousedown 1 || e2e_fail "mousedown failed"
    sleep 0.5
    e2e_xdo mouseup 1 || e2e_fail "mouseup failed"
done
sleep 0.05
e2e_mark end
e2e_stop_recording

e2e_log "underruns the program counted: $(e2e_program_underruns)"
e2e_log "underruns the sound server logged: $(e2e_server_underruns)"
e2e_tables "$E2E_DIR/tone1.txt" --tone 1 --levels 0 100
# The gaps are a figure: a busy machine may let the stream run dry.
e2e_check gaps --tables "$E2E_DIR/tone1.txt" --start start --end end
