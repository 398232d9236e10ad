# Shell functions for running a Vantrel program in a virtual X display, as a
# person would see it: start Xvfb, wait for the window, take a screenshot,
# and close the window the way a window manager does. Sourced by ./dev and
# by the end-to-end tests. Every wait here has a limit.
#
#   headless_start                 starts Xvfb; sets DISPLAY and HEADLESS_XVFB_PID
#   headless_stop                  stops it (and waits for it, at most 3 s)
#   headless_screenshot ID FILE    saves window ID (or "root") as a PNG
#   headless_box FILE COLOUR CROP  "W H X Y" of the pixels of exactly COLOUR
#                                  within CROP (WxH+X+Y), "0 0 0 0" if none
#   headless_pixel FILE X Y        "R,G,B" of one pixel, 0-255 each
#   headless_wait_exit PID SECONDS waits for PID (a child of this shell) to end;
#                                  returns its status, or 124 if still running
#   headless_end PID               ends PID: TERM, then KILL after 2 s

headless_start() {
    local dir
    dir=$(mktemp -d)
    # -displayfd makes Xvfb pick a free display number and write it to fd 3.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" >"$dir/log" 2>&1 &
    HEADLESS_XVFB_PID=$!
    local tries=0
    while [ ! -s "$dir/display" ]; do
        if ! kill -0 "$HEADLESS_XVFB_PID" 2>/dev/null || [ $tries -ge 100 ]; then
            echo "Xvfb did not start within 10 s:" >&2
            cat "$dir/log" >&2
            headless_end "$HEADLESS_XVFB_PID"
            HEADLESS_XVFB_PID=
            rm -rf "$dir"
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
        headless_end "$HEADLESS_XVFB_PID"
        HEADLESS_XVFB_PID=
    fi
}

headless_screenshot() {
    timeout 20 import -window "$1" "$2"
}

headless_box() {
    local geometry
    # The colour's pixels are marked first, so that black can be looked for too.
    geometry=$(convert "$1" -crop "$3" +repage -alpha off -fill 'rgb(1,2,3)' -opaque "$2" \
        -fill black +opaque 'rgb(1,2,3)' -fill white -opaque 'rgb(1,2,3)' \
        -format '%@' info: 2>/dev/null)
    if [[ $geometry =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] && [ "${BASH_REMATCH[1]}" -gt 0 ]; then
        echo "${BASH_REMATCH[1]} ${BASH_REMATCH[2]} ${BASH_REMATCH[3]} ${BASH_REMATCH[4]}"
    else
        echo "0 0 0 0"
    fi
}

headless_pixel() {
    convert "$1" -format "%[fx:round(255*p{$2,$3}.r)],%[fx:round(255*p{$2,$3}.g)],%[fx:round(255*p{$2,$3}.b)]" info: 2>/dev/null
}

headless_wait_exit() {
    local pid=$1 tenths=$(($2 * 10)) status=0
    while kill -0 "$pid" 2>/dev/null && [ "$tenths" -gt 0 ]; do
        sleep 0.1
        tenths=$((tenths - 1))
    done
    kill -0 "$pid" 2>/dev/null && return 124
    wait "$pid" 2>/dev/null || status=$?
    return $status
}

headless_end() {
    local pid=$1
    [ -n "$pid" ] || return 0
    kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return 0; }
    kill -TERM "$pid" 2>/dev/null
    headless_wait_exit "$pid" 2 >/dev/null 2>&1
    if kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    fi
    return 0
}
