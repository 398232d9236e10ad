# ./dev demo: build what the demonstration program needs and run it, in a
# virtual X display when there is no display. Sourced by ./dev.

# Runs the demonstration program in a virtual display for about three
# seconds, saves a screenshot and closes the window as a window manager would.
# Every wait is bounded; on any failure the demo and Xvfb are ended and the
# message says what really happened.
demo_headless() {
    # shellcheck source=tools/testing/headless.sh
    . "$ROOT/tools/testing/headless.sh"
    headless_start || fail "could not start the virtual X display (Xvfb)"
    DEMO_PID=
    trap 'headless_end "$DEMO_PID"; headless_stop' EXIT
    say "no display found: running vantrel-demo in a virtual X display ($DISPLAY) for 3 seconds"
    local log="$BUILD/demo.log"
    SDL_AUDIODRIVER=dummy "$BUILD/app/vantrel-demo" >"$log" 2>&1 &
    DEMO_PID=$!
    local window status=0 helper=0
    window=$(timeout 20 "$BUILD/tools/vantrel-xclose" wait Vantrel 10) || helper=$?
    if [ $helper -ne 0 ]; then
        local why="the window helper vantrel-xclose failed (status $helper)"
        [ $helper -eq 1 ] && why="the demo window did not appear within 10 s"
        if kill -0 "$DEMO_PID" 2>/dev/null; then
            headless_end "$DEMO_PID"
            fail "$why; vantrel-demo was still running and has been ended (its output: $log)"
        fi
        wait "$DEMO_PID" || status=$?
        cat "$log" >&2
        fail "$why; vantrel-demo had exited with status $status (its output is above)"
    fi
    sleep 3
    headless_screenshot "$window" "$BUILD/demo.png" || fail "could not take the screenshot"
    timeout 10 "$BUILD/tools/vantrel-xclose" close Vantrel 5 ||
        fail "could not send the close request; vantrel-demo is being ended"
    headless_wait_exit "$DEMO_PID" 5 || status=$?
    if [ $status -eq 124 ]; then
        fail "vantrel-demo was still running 5 s after the close request; it has been ended"
    fi
    DEMO_PID=
    say "screenshot: $BUILD/demo.png"
    say "vantrel-demo exited with status $status"
    return "$status"
}

# Configures build/ and builds only what the demo needs: the library, the
# demo and the X11 helper, not the tests. A first configure leaves the tests
# off, so a newcomer's first command needs no GoogleTest.
build_demo() {
    local options=()
    [ -f "$BUILD/CMakeCache.txt" ] || options=(-DVANTREL_BUILD_TESTS=OFF)
    local werror=OFF
    [ "${CI:-}" = true ] && werror=ON
    cmake --preset default -DVANTREL_WARNINGS_AS_ERRORS=$werror "${options[@]}" >/dev/null ||
        fail "CMake could not configure the default build (see the messages above)"
    local targets=(--target vantrel-demo)
    has_display || targets+=(--target vantrel-xclose)
    cmake --build --preset default -j "$JOBS" "${targets[@]}" ||
        fail "the default build failed (see the compiler messages above)"
}

cmd_demo() {
    if has_display; then
        install_missing "${BUILD_PACKAGES[@]}"
        build_demo
        exec "$BUILD/app/vantrel-demo"
    fi
    install_missing "${BUILD_PACKAGES[@]}" "${HEADLESS_PACKAGES[@]}"
    build_demo
    demo_headless
}
