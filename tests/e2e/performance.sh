#!/usr/bin/env bash
# A performance gives back what was played. A scripted session of more than
# a minute (strokes in all eight colours, both sliders, KEEP TONE, a reset)
# is recorded as sound (--record) and as a performance (Ctrl+Shift+R, the
# file dialog answered) at once, while the sound server's monitor records
# what was heard. The performance is then rendered (--render) and replayed in
# the window (--play). The tables the render and the replay write equal,
# tick by tick, those the live session wrote (SCRIVOLA_TABLE_LOG); what the
# monitor heard live, the live sound file and what it heard of the replay
# hold those tables in the render's order; and the surface after the replay
# equals the live one pixel for pixel.
source "$(dirname "$0")/harness.sh"
e2e_begin performance
e2e_start_sound_server
e2e_start_recording

CMDRST=(360 720 855 255)
CHECK3=(360 1200 855 495) # KEEP TONE
CMDEXIT=(8160 120 255 285)
PERFORMANCE="$E2E_DIR/take.scrivola"

# stroke X Y X Y...: the pen down at the first point, through the others, up.
stroke() {
    e2e_pen_down "$1" "$2"
    shift 2
    while (($# >= 2)); do
        sleep 0.12
        e2e_surface_move "$1" "$2"
        shift 2
    done
    sleep 0.3
    e2e_pen_up
}

exit_program() {
    e2e_click_twips "${CMDEXIT[@]}"
    e2e_dialog_key "Exit Scrivola" "${E2E_YES_KEYS:-y}"
    e2e_wait_app_exit 10 || e2e_fail "the program still runs 10 s after Yes"
    [ "$E2E_APP_STATUS" = 0 ] || e2e_fail "the program ended with status $E2E_APP_STATUS"
}

export SCRIVOLA_TABLE_LOG="$E2E_DIR/live-tables.txt"
e2e_start_app --record "$E2E_DIR/live.wav"
sleep 0.5

# The performance starts as a user starts it: the shortcut, then the file
# dialog answered with the file's path.
e2e_xdo windowfocus --sync "$E2E_WINDOW" || e2e_fail "cannot focus the window"
e2e_xdo key --clearmodifiers ctrl+shift+r || e2e_fail "cannot press Ctrl+Shift+R"
dialog=$(e2e_wait_dialog "Record Performance") || e2e_fail "no dialog for the performance"
e2e_xdo windowfocus --sync "$dialog" || e2e_fail "cannot focus the dialog"
e2e_xdo key --clearmodifiers ctrl+a || e2e_fail "cannot select the file name"
e2e_xdo type --delay 20 "$PERFORMANCE" || e2e_fail "cannot type the file name"
sleep 0.2
e2e_xdo key --clearmodifiers Return || e2e_fail "cannot answer the dialog"
e2e_wait_for 10 test -s "$PERFORMANCE" || e2e_fail "no performance file after the dialog"
e2e_mark live_start
e2e_log "recording the performance"

# Every colour, from the top swatch to the bottom one and back to white,
# each stroke crossing the surface so that the magenta and yellow pens pass
# through several quarters; the blue pen makes voice B sound.
for round in 1 2 3; do
    for swatch in 2 0 4 1 3 5 6 7; do
        e2e_pick_swatch "$swatch"
        y=$((60 * swatch + 40 * round))
        stroke 30 "$y" 120 $((y + 300)) 250 $((y + 40)) 320 $((y + 420))
        sleep 1
    done
    # The sliders: a click on the track moves one large step towards it.
    e2e_click_twips 840 4800 495 375 # decay step up
    e2e_click_twips 120 9840 500 375 # level down
    sleep 0.3
    e2e_pick_swatch 1 # blue: voice B
    stroke 200 500 210 180 60 620
    sleep 0.8
done

# KEEP TONE: strokes that leave the pitch where it was, then off again.
e2e_click_twips "${CHECK3[@]}"
sleep 0.2
e2e_pick_swatch 5 # magenta: switches voice A's shapes, not its pitch
stroke 40 100 300 600 50 500
sleep 0.6
e2e_click_twips "${CHECK3[@]}"
sleep 0.2
stroke 300 50 100 400

# RESET, answered with Enter (Yes), while the note still sounds.
sleep 0.3
e2e_click_twips "${CMDRST[@]}"
e2e_dialog_key "RESET" Return
sleep 0.5
e2e_pick_swatch 7 # white
stroke 150 300 160 320
sleep 0.6
e2e_pick_swatch 1
stroke 280 100 290 400
# The last note fades out before the performance ends.
sleep 3
e2e_mark live_end
e2e_xdo windowfocus --sync "$E2E_WINDOW" || e2e_fail "cannot focus the window"
e2e_xdo key --clearmodifiers ctrl+shift+r || e2e_fail "cannot press Ctrl+Shift+R"
e2e_wait_for 10 grep -q '"k":"end"' "$PERFORMANCE" || e2e_fail "the performance did not end"
e2e_screenshot live
exit_program
e2e_log "performance: $(wc -l <"$PERFORMANCE") lines"

# The render: no window, no sound device.
SCRIVOLA_TABLE_LOG="$E2E_DIR/render-tables.txt" "$SCRIVOLA_APP" --render "$PERFORMANCE" \
    --record "$E2E_DIR/render.wav" 2>"$E2E_DIR/render.stderr" ||
    e2e_fail "the render failed: $(cat "$E2E_DIR/render.stderr")"

# The replay in the window, heard at the monitor; no input meanwhile, which
# would end it.
seconds=$("$E2E_PYTHON" -c 'import json, sys
print(json.loads(open(sys.argv[1]).read().splitlines()[-1])["t"])' "$PERFORMANCE")
export SCRIVOLA_TABLE_LOG="$E2E_DIR/replay-tables.txt"
e2e_mark replay_start
e2e_start_app --play "$PERFORMANCE"
sleep "$(LC_ALL=C awk -v s="$seconds" 'BEGIN { print s + 2 }')"
e2e_mark replay_end
e2e_screenshot replay
exit_program
e2e_stop_recording

# A device block: the 256 frames the program asks for a callback or a cycle.
"$E2E_PYTHON" "$E2E_HERE/performance_check.py" --recording "$E2E_RECORDING" \
    --markers "$E2E_MARKERS" --block 256 \
    --live-tables "$E2E_DIR/live-tables.txt" --render-tables "$E2E_DIR/render-tables.txt" \
    --replay-tables "$E2E_DIR/replay-tables.txt" \
    --render-wav "$E2E_DIR/render.wav" --live-wav "$E2E_DIR/live.wav" \
    --images "$E2E_DIR/live.rgb" "$E2E_DIR/replay.rgb" \
    --size "${E2E_WINDOW_WIDTH}x${E2E_WINDOW_HEIGHT}" --rect "$(e2e_surface_rect)" |
    sed "s/^/[$E2E_NAME] /"
[ "${PIPESTATUS[0]}" = 0 ] || e2e_fail "the performance does not give back what was played"
