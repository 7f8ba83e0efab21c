# Sourced by harness.sh: real X input to the program's window, placed by the
# window's designed geometry.

# Pixel geometry of the window: the client area is 568 x 698 px under the
# menu bar; the drawing area of the surface starts at (186, 26) px in it.
E2E_CLIENT_HEIGHT=698
E2E_SURFACE_LEFT=186
E2E_SURFACE_TOP=26
E2E_SURFACE_WIDTH=341 # 5115 twips
E2E_SURFACE_HEIGHT=645 # 9675 twips

# Client coordinates in twips to screen pixels (one pixel is 15 twips).
e2e_client_twips() {
    echo "$((E2E_CLIENT_X + $1 / 15)) $((E2E_CLIENT_Y + $2 / 15))"
}

# e2e_click_twips LEFT TOP WIDTH HEIGHT: a left click in the middle of a
# control placed in twips.
e2e_click_twips() {
    local x=$(($1 + $3 / 2)) y=$(($2 + $4 / 2))
    # shellcheck disable=SC2046
    e2e_xdo mousemove $(e2e_client_twips "$x" "$y") || e2e_fail "mousemove failed"
    sleep 0.05
    e2e_xdo click 1 || e2e_fail "click failed"
}

# Swatch tops by index; all at left 1680, 495 x 495 twips.
E2E_SWATCH_TOPS=(1080 2520 360 3240 1800 4320 5040 5760)

e2e_pick_swatch() {
    e2e_click_twips 1680 "${E2E_SWATCH_TOPS[$1]}" 495 495
    sleep 0.1
}

# Pointer actions on the drawing surface, in pixels of its drawing area (x
# pixels make x * 15 twips). Never `mousemove --sync`: it hangs when the
# pointer is already there.
e2e_surface_move() {
    e2e_xdo mousemove $((E2E_CLIENT_X + E2E_SURFACE_LEFT + $1)) \
        $((E2E_CLIENT_Y + E2E_SURFACE_TOP + $2)) || e2e_fail "mousemove failed"
}

e2e_pen_down() {
    e2e_surface_move "$1" "$2"
    sleep 0.05
    e2e_xdo mousedown 1 || e2e_fail "mousedown failed"
}

e2e_pen_up() {
    e2e_xdo mouseup 1 || e2e_fail "mouseup failed"
}
