# ./dev windows: the cross-build for 64-bit Windows, its tests under Wine and
# the zip for learners. Sourced by ./dev.

WINDOWS_BUILD="$ROOT/build-windows"
WINDOWS_HOST=x86_64-w64-mingw32

# Configures build-windows/ against the Windows libraries tools/dev/windows/deps.sh
# built (or found in its cache); sets WINDOWS_DEPS to their folder.
windows_configure() {
    local werror=OFF start=$SECONDS
    WINDOWS_DEPS=$("$ROOT/tools/dev/windows/deps.sh") || fail "the Windows libraries could not be built (see above)"
    say "Windows libraries: $WINDOWS_DEPS ($((SECONDS - start)) s)"
    [ "${CI:-}" = true ] && werror=ON
    cmake -S "$ROOT" -B "$WINDOWS_BUILD" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DVANTREL_WINDOWS_DEPS="$WINDOWS_DEPS" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$ROOT/tools/testing/windows/wine-run.sh" \
        -DVANTREL_BUILD_TESTS=ON -DVANTREL_WARNINGS_AS_ERRORS=$werror >/dev/null ||
        fail "CMake could not configure the Windows build (see the messages above)"
}

# Cross-builds build-windows/: the library, the demo, the examples and the tests.
windows_build() {
    windows_configure
    cmake --build "$WINDOWS_BUILD" -j "$JOBS" ||
        fail "the Windows build failed (see the compiler messages above)"
}

# The Wine session the tests run in: its own prefix in build-windows/wine,
# with DejaVu Sans as C:\Windows\Fonts\verdana.ttf (the framework's default font
# on Windows). The Wine server and the desktop start here, before any test,
# and stay until wine_stop, in a virtual X display (Wine cannot make even a
# hidden window without one): a desktop process started by a test would hold
# that test's output open until it timed out, and a desktop that closes
# between two tests (Wine closes it a second after its last user ends) makes
# the next test's first window fail. tools/testing/windows/desktop_keeper.c keeps it.
wine_start() {
    wine_prefix
    local wine=$WINE
    local keeper="$WINDOWS_BUILD/desktop_keeper.exe" ready="$WINDOWS_BUILD/desktop_keeper.ready"
    if [ ! -f "$keeper" ] || [ "$ROOT/tools/testing/windows/desktop_keeper.c" -nt "$keeper" ]; then
        x86_64-w64-mingw32-gcc-posix -O2 -Wall -Wextra -o "$keeper" \
            "$ROOT/tools/testing/windows/desktop_keeper.c" || fail "could not build $keeper"
    fi
    # shellcheck source=tools/testing/headless.sh
    . "$ROOT/tools/testing/headless.sh"
    headless_start || fail "could not start the virtual X display (Xvfb) for Wine"
    wineserver -p
    rm -f "$ready"
    "$wine" "$keeper" "$ready" >/dev/null 2>&1 </dev/null &
    WINE_DESKTOP_PID=$!
    local tenths=0
    while [ ! -f "$ready" ]; do
        [ $tenths -lt 600 ] && kill -0 "$WINE_DESKTOP_PID" 2>/dev/null ||
            fail "Wine's desktop did not start within 60 s"
        sleep 0.1
        tenths=$((tenths + 1))
    done
}

wine_stop() {
    [ -n "${WINEPREFIX:-}" ] || return 0
    wineserver -k 2>/dev/null || true
    timeout 20 wineserver -w 2>/dev/null || true
    if [ -n "${WINE_DESKTOP_PID:-}" ]; then
        headless_end "$WINE_DESKTOP_PID" || true
        WINE_DESKTOP_PID=
    fi
    headless_stop || true
}

# wine_prefix: the Wine prefix build-windows/wine (made the first time), with
# DejaVu Sans as C:\Windows\Fonts\verdana.ttf; sets WINEPREFIX and WINE.
wine_prefix() {
    export WINEPREFIX="$WINDOWS_BUILD/wine" WINEDEBUG=-all
    WINE=/usr/lib/wine/wine64
    [ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine) || fail "Wine is not installed"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        say "creating the Wine prefix $WINEPREFIX"
        # No Mono or Gecko: nothing here needs .NET or a web browser.
        WINEDLLOVERRIDES="mscoree,mshtml=" timeout 300 "$WINE" wineboot --init >/dev/null 2>&1 ||
            fail "could not create the Wine prefix $WINEPREFIX"
        timeout 60 wineserver -w || true
    fi
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
        "$WINEPREFIX/drive_c/windows/Fonts/verdana.ttf" ||
        fail "could not copy DejaVu Sans into the Wine prefix (is fonts-dejavu-core installed?)"
}

# Runs the whole suite under Wine and prints a summary: how many passed,
# which were skipped and why, which failed.
windows_test() {
    wine_start
    trap wine_stop EXIT
    local status=0 log="$WINDOWS_BUILD/Testing/Temporary/LastTest.log"
    (cd "$WINDOWS_BUILD" && env -u WAYLAND_DISPLAY ctest -j "$JOBS" --output-on-failure) ||
        status=$?
    wine_stop
    trap - EXIT

    printf '\ndev: ==== Windows tests under Wine: summary ====\n'
    local total passed skipped failed
    total=$(grep -c '^[0-9]*/[0-9]* Test: ' "$log" || true)
    skipped=$(awk '/^[0-9]+\/[0-9]+ Test: / { name = $3 }
        /^SKIPPED: / { sub(/^SKIPPED: /, ""); printf "dev:   skipped %s: %s\n", name, $0 }' "$log")
    passed=$(grep -c '^Test Passed\.$' "$log" || true)
    [ -n "$skipped" ] && printf '%s\n' "$skipped"
    local nskipped=0
    [ -n "$skipped" ] && nskipped=$(printf '%s\n' "$skipped" | wc -l)
    # Failed, timed out, or not run at all.
    failed=$((total - passed - nskipped))
    printf 'windows: %d passed, %d failed, %d skipped\n' "$passed" "$failed" "$nskipped"
    [ "$status" -eq 0 ] && [ "$failed" -eq 0 ] && [ "$total" -gt 0 ]
}

# Makes build-windows/vantrel-windows.zip for a teacher to hand out: the
# framework (headers, static library, CMake package), SDL2 and its add-ons
# (headers, import libraries, DLLs), the demo and the examples as .exe files
# with every DLL beside them, and a README; then checks, under Wine in a
# virtual X display, that the demo from the zip shows the welcome scene.
windows_zip() {
    local deps stage dir zip="$WINDOWS_BUILD/vantrel-windows.zip"
    deps=$("$ROOT/tools/dev/windows/deps.sh") || fail "the Windows libraries are missing"
    stage="$WINDOWS_BUILD/zip"
    dir="$stage/vantrel-windows"
    rm -rf "$stage" "$zip"
    mkdir -p "$dir/bin"
    cmake --install "$WINDOWS_BUILD" --prefix "$dir" >/dev/null ||
        fail "could not install the Windows build into $dir"
    # SDL2 and its add-ons, for building programs against the framework.
    cp -r "$deps/include" "$dir/"
    cp -r "$deps/lib" "$dir/"
    rm -rf "$dir/lib/pkgconfig" "$dir/lib/cmake/GTest" "$dir"/lib/libgtest* "$dir/include/gtest" \
        "$dir"/lib/*.la
    cp "$deps"/bin/*.dll "$dir/bin/"
    # The programs, with the files and folders they open beside them.
    local program
    while IFS= read -r program; do
        cp "$program" "$dir/bin/"
        find "$(dirname "$program")" -mindepth 1 -maxdepth 1 ! -name CMakeFiles \
            ! -name '*.cmake' ! -name '*.dll' ! -name '*.a' ! -name '*.exe' \
            -exec cp -r {} "$dir/bin/" \;
    done < <(find "$WINDOWS_BUILD/app" "$WINDOWS_BUILD/examples" -name 'vantrel-*.exe')
    cp "$ROOT/tools/installed/windows/README-zip.txt" "$dir/README.txt"
    (cd "$stage" && zip -qr "$zip" vantrel-windows) || fail "could not make $zip"
    say "zip: $zip ($(du -h "$zip" | cut -f 1))"
    "$ROOT/tools/testing/windows/check_zip_demo.sh" "$zip" "$WINDOWS_BUILD/wine" "$WINDOWS_BUILD/zip-check" ||
        fail "the demo from the zip did not show the welcome scene under Wine"
}

cmd_windows() {
    local zip=false
    case "${1:-}" in
    "") ;;
    --zip) zip=true ;;
    -*) fail "usage: ./dev windows [--zip | PATH...]" ;;
    *)
        # A learner's own programs, each as a zip beside it.
        install_missing "${WINDOWS_PACKAGES[@]}"
        local path
        for path in "$@"; do
            windows_build_project "$path"
        done
        return 0
        ;;
    esac
    install_missing "${WINDOWS_PACKAGES[@]}"
    windows_build
    local status=0
    windows_test || status=1
    if $zip; then
        windows_zip || status=1
    fi
    return $status
}

# shellcheck source=tools/dev/windows/program.sh
. "$ROOT/tools/dev/windows/program.sh"
