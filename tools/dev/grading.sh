# ./dev grade: grades a folder of programs against a reference from this
# checkout. It builds only what grading needs (the library, vantrel-run and
# vantrel-grade's helper), lays them out as an install would
# (build/grading/, by stage.sh) and runs vantrel-grade from there, so a
# checkout grades exactly as an installed Vantrel does. Sourced by ./dev.

# grading_stage: builds what grading needs and lays it out in build/grading/.
grading_stage() {
    install_missing "${BUILD_PACKAGES[@]}" "${GRADING_PACKAGES[@]}"
    local werror=OFF options=()
    [ "${CI:-}" = true ] && werror=ON
    # A first configure leaves the test suite out: grading does not need GoogleTest.
    [ -f "$BUILD/CMakeCache.txt" ] || options=(-DVANTREL_BUILD_TESTS=OFF)
    (cd "$ROOT" && cmake --preset default -DVANTREL_WARNINGS_AS_ERRORS=$werror "${options[@]}") >/dev/null ||
        fail "CMake could not configure the build (see the messages above)"
    cmake --build "$BUILD" -j "$JOBS" --target vantrel vantrel-run vantrel-grade-tool >"$BUILD/grading-build.log" 2>&1 || {
        cat "$BUILD/grading-build.log" >&2
        fail "building the grading tools failed (see the compiler messages above)"
    }
    bash "$ROOT/tools/dev/grading_stage.sh" "$ROOT" "$BUILD" "$BUILD/grading" ||
        fail "could not lay out the grading tools in $BUILD/grading"
}

cmd_grade() {
    local argument
    for argument in "$@"; do
        case $argument in
        -h | --help)
            bash "$ROOT/tools/installed/grading/vantrel-grade" --help
            return 0
            ;;
        esac
    done
    grading_stage
    "$BUILD/grading/bin/vantrel-grade" "$@"
}
