# Sourced by harness.sh: what the program played and showed, checked against
# the core's tables and the expected picture.

# e2e_tables FILE ARGS...: the core's tables for the given state.
e2e_tables() {
    local file=$1
    shift
    "$E2E_TABLE_TOOL" "$@" >"$file" || e2e_fail "table tool failed: $*"
}

# e2e_check SUBCOMMAND ARGS...: runs a check of check.py on this scenario's
# recording; fails the scenario when the check fails.
e2e_check() {
    local command=$1
    shift
    local extra=()
    case "$command" in
        surface) ;;
        *) extra=(--recording "$E2E_RECORDING" --markers "$E2E_MARKERS") ;;
    esac
    "$E2E_PYTHON" "$E2E_HERE/check.py" "$command" "${extra[@]}" "$@" |
        sed "s/^/[$E2E_NAME] /"
    [ "${PIPESTATUS[0]}" = 0 ] || e2e_fail "check '$command $*' failed"
}

# Screenshot of the main window as raw RGB, plus a PNG to look at.
e2e_screenshot() {
    local name=$1
    e2e_timeout 20 import -window "$E2E_WINDOW" -depth 8 "rgb:$E2E_DIR/$name.rgb" ||
        e2e_fail "screenshot failed"
    e2e_timeout 20 import -window "$E2E_WINDOW" "$E2E_DIR/$name.png" 2>/dev/null || true
}

# The drawing area of the surface in a screenshot of the window: left,top,w,h.
e2e_surface_rect() {
    echo "$E2E_SURFACE_LEFT,$((E2E_WINDOW_HEIGHT - E2E_CLIENT_HEIGHT + E2E_SURFACE_TOP)),$E2E_SURFACE_WIDTH,$E2E_SURFACE_HEIGHT"
}

# e2e_check_surface SHOT black|drawn
e2e_check_surface() {
    e2e_check surface --image "$E2E_DIR/$1.rgb" --size "${E2E_WINDOW_WIDTH}x${E2E_WINDOW_HEIGHT}" \
        --rect "$(e2e_surface_rect)" --expect "$2"
}
