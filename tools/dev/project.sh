# ./dev new, ./dev package and ./dev docs: a project of one's own, the Debian
# package and the API reference. Sourced by ./dev.

cmd_new() {
    [ $# -eq 1 ] || fail "usage: ./dev new PATH (makes a new project in the folder PATH)"
    # What building the new project needs, so that it builds right away.
    install_missing "${BUILD_PACKAGES[@]}"
    "$ROOT/tools/installed/vantrel-new" "$1"
    # The library the project builds with when no Vantrel is installed,
    # built once here (build/): the project's builds then compile only its
    # own files.
    if [ ! -f "$BUILD/CMakeCache.txt" ]; then
        cmake --preset default -DVANTREL_BUILD_TESTS=OFF >/dev/null ||
            fail "CMake could not configure $BUILD (see the messages above)"
    fi
    local start=$SECONDS
    cmake --build "$BUILD" -j "$JOBS" --target vantrel vantrel-run >/dev/null ||
        fail "the library did not build in $BUILD (run cmake --build $BUILD --target vantrel to see why)"
    say "the library the project builds with when no Vantrel is installed: $BUILD ($((SECONDS - start)) s)"
}

# The .deb holds whatever the install rules of the default build install.
cmd_package() {
    install_missing "${BUILD_PACKAGES[@]}"
    local options=()
    [ -f "$BUILD/CMakeCache.txt" ] || options=(-DVANTREL_BUILD_TESTS=OFF)
    build "${options[@]}"
    local log="$BUILD/cpack.log"
    (cd "$BUILD" && cpack -G DEB -B "$BUILD") >"$log" 2>&1 || {
        cat "$log" >&2
        fail "CPack could not make the Debian package (its messages are above)"
    }
    local deb
    deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' "$log")
    [ -n "$deb" ] || fail "CPack did not say which package it made (see $log)"
    say "package: $deb"
    say "install it with: sudo apt install $deb"
}

# docs FAIL_ON_WARNINGS: runs Doxygen over the public headers into build/docs/.
docs() {
    command -v doxygen >/dev/null 2>&1 || fail "doxygen is not installed (apt-get install doxygen)"
    rm -rf "$BUILD/docs"
    mkdir -p "$BUILD/docs"
    local log="$BUILD/doxygen.log" status=0
    {
        cat "$ROOT/docs/Doxyfile"
        echo "OUTPUT_DIRECTORY = $BUILD/docs"
        if [ "$1" = true ]; then
            echo "WARN_AS_ERROR = FAIL_ON_WARNINGS"
        fi
    } | (cd "$ROOT" && doxygen -) >"$log" 2>&1 || status=$?
    if [ -s "$log" ]; then
        cat "$log" >&2
    fi
    [ $status -eq 0 ] || fail "Doxygen failed: document every public name the warnings above list"
    say "API reference: $BUILD/docs/index.html"
}

cmd_docs() {
    install_missing "${DOCS_PACKAGES[@]}"
    local strict=false
    [ "${CI:-}" = true ] && strict=true
    docs "$strict"
}

# In the checks, an undocumented public name always fails.
stage_docs() {
    docs true
}

