#!/usr/bin/env bash
# The commands that ask first: "NEW" answered Yes clears the drawing; "X"
# answered No leaves the program and its sound running (the sound goes on
# while the question waits); "X" answered Yes ends the program with status 0.
source "$(dirname "$0")/harness.sh"
e2e_begin commands
e2e_start_sound_server
e2e_start_recording
e2e_start_app
sleep 0.5

# Buttons, in twips: left top width height.
CMDNEW=(360 360 855 255)
CMDEXIT=(8160 120 255 285)

# Polls screenshots until the surface looks as expected (drawn or black).
await_surface() { # expectation
    local deadline=$((SECONDS + 10)) shot=0
    while :; do
        shot=$((shot + 1))
        e2e_screenshot "$1-$shot"
        if "$E2E_PYTHON" "$E2E_HERE/check.py" surface --image "$E2E_DIR/$1-$shot.rgb" \
            --size "${E2E_WINDOW_WIDTH}x${E2E_WINDOW_HEIGHT}" --rect "$(e2e_surface_rect)" \
            --expect "$1" >/dev/null; then
            e2e_check_surface "$1-$shot" "$1"
            return 0
        fi
        ((SECONDS < deadline)) || break
        sleep 0.2
    done
    e2e_check_surface "$1-$shot" "$1"
}

# A white stroke, then "NEW", answered with Enter: Yes is the default.
await_surface black
e2e_pen_down 100 100
for point in "150 150" "200 300" "250 350"; do
    sleep 0.05
    e2e_surface_move $point
done
e2e_pen_up
await_surface drawn
e2e_click_twips "${CMDNEW[@]}"
e2e_dialog_key "New Drawing" Return
await_surface black

# Sound that fades while the exit question waits; Enter answers No. The
# held tone fades out first, so that what follows the release is the level
# reloaded from the slider alone.
e2e_pen_down 286 300
sleep 0.05
e2e_surface_move 287 300
sleep 1.8
e2e_mark released
e2e_pen_up
e2e_click_twips "${CMDEXIT[@]}"
e2e_wait_dialog "Exit Scrivola" >/dev/null || e2e_fail "no exit question"
sleep 0.8
e2e_dialog_key "Exit Scrivola" Return
e2e_mark answered_no
sleep 1.2
e2e_app_running || e2e_fail "the program ended although the answer was No"
windows=$(e2e_app_windows)
[ "$windows" = "$E2E_WINDOW" ] || e2e_fail "windows shown after No: $windows, expected $E2E_WINDOW"

# Still playing: a release reloads the level and the tone sounds again.
e2e_mark replay
e2e_pen_down 287 300
sleep 0.05
e2e_pen_up
sleep 1.8
e2e_mark replayed

# "X" answered Yes: the program ends at once, with status 0.
e2e_click_twips "${CMDEXIT[@]}"
e2e_dialog_key "Exit Scrivola" "${E2E_YES_KEYS:-y}"
e2e_wait_app_exit 10 || e2e_fail "the program still runs 10 s after Yes to the exit question"
[ "$E2E_APP_STATUS" = 0 ] || e2e_fail "the program ended with status $E2E_APP_STATUS"
e2e_stop_recording

e2e_tables "$E2E_DIR/tone1.txt" --tone 1 --levels 0 100
# The fade went on at the decay timer's pace while the question waited.
e2e_check fade --tables "$E2E_DIR/tone1.txt" --start released --end replay \
    --step 1 --first-min 80 --first-max 90
e2e_check sound-within --tables "$E2E_DIR/tone1.txt" --start replay --end replayed --within 0.5
