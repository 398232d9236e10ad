# Shell functions for running a Vantrel program in a virtual X display, as a
# person would see it: start Xvfb, wait for the window, take a screenshot,
# and close the window the way a window manager does. Sourced by ./dev and
# by the end-to-end tests.
#
#   headless_start                 starts Xvfb; sets DISPLAY and HEADLESS_XVFB_PID
#   headless_stop                  stops it
#   headless_screenshot ID FILE    saves window ID (or "root") as a PNG

headless_start() {
    local dir
    dir=$(mktemp -d)
    # -displayfd makes Xvfb pick a free display number and write it to fd 3.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" >"$dir/log" 2>&1 &
    HEADLESS_XVFB_PID=$!
    local tries=0
    while [ ! -s "$dir/display" ]; do
        if ! kill -0 "$HEADLESS_XVFB_PID" 2>/dev/null || [ $tries -ge 100 ]; then
            echo "Xvfb did not start:" >&2
            cat "$dir/log" >&2
            return 1
        fi
        sleep 0.1
        tries=$((tries + 1))
    done
    DISPLAY=":$(head -n 1 "$dir/display")"
    export DISPLAY
    rm -rf "$dir"
}

headless_stop() {
    if [ -n "${HEADLESS_XVFB_PID:-}" ]; then
        kill "$HEADLESS_XVFB_PID" 2>/dev/null
        wait "$HEADLESS_XVFB_PID" 2>/dev/null
        HEADLESS_XVFB_PID=
    fi
}

headless_screenshot() {
    import -window "$1" "$2"
}
