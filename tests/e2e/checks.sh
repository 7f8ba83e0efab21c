# Sourced by harness.sh: what the program played and showed, checked against
# the core's tables and the expected picture.

# e2e_tables FILE ARGS...: the core's tables for the given state.
e2e_tables() {
    local file=$1
    shift
    "$E2E_TABLE_TOOL" "$@" >"$file" || e2e_fail "table tool failed: $*"
}

# The checker of a recording: check.py, or heard.py where the graph resampled
# what was played (a desktop's 48 kHz).
e2e_checker() {
    local rate=${SCRIVOLA_MONITOR_RATE:-44100}
    if [ "$rate" = 44100 ] || [ "$1" = surface ]; then
        echo "$E2E_HERE/check.py"
    else
        echo "$E2E_HERE/heard.py --rate $rate"
    fi
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
    # shellcheck disable=SC2046 # the checker and its options
    "$E2E_PYTHON" $(e2e_checker "$command") "$command" "${extra[@]}" "$@" |
        sed "s/^/[$E2E_NAME] /"
    [ "${PIPESTATUS[0]}" = 0 ] || e2e_fail "check '$command $*' failed"
}

# e2e_check_take LABEL ARGS...: checks a file the program recorded against
# this scenario's recording (wav_check.py, or heard.py's take where the
# graph resampled what was played); fails the scenario when it fails.
e2e_check_take() {
    local label=$1
    shift
    local check=("$E2E_HERE/wav_check.py")
    if [ "${SCRIVOLA_MONITOR_RATE:-44100}" != 44100 ]; then
        check=("$E2E_HERE/heard.py" --rate "$SCRIVOLA_MONITOR_RATE" take)
    fi
    "$E2E_PYTHON" "${check[@]}" --recording "$E2E_RECORDING" --markers "$E2E_MARKERS" "$@" |
        sed "s/^/[$E2E_NAME] $label: /"
    [ "${PIPESTATUS[0]}" = 0 ] || e2e_fail "the file left by $label"
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
