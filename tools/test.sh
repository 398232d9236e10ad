# ./dev test and ./dev fuzz: every check CI runs, in stages, and the fuzz
# targets on their own. Sourced by ./dev.

# Each stage runs in a subshell, so one that fails does not stop the others;
# the summary at the end lists them all.

STAGE_NAMES=()
STAGE_RESULTS=()
STAGE_SECONDS=()

# run_stage NAME FUNCTION: runs FUNCTION as the stage NAME and records the result.
run_stage() {
    local name=$1 function=$2 start=$SECONDS result=passed status
    printf '\ndev: ==== %s ====\n' "$name"
    # Outside any condition, so that set -e holds in the subshell: the first
    # command that fails ends the stage.
    set +e
    (
        set -e
        "$function"
    )
    status=$?
    set -e
    [ $status -eq 0 ] || result=FAILED
    STAGE_NAMES+=("$name")
    STAGE_RESULTS+=("$result")
    STAGE_SECONDS+=($((SECONDS - start)))
    say "$name: $result ($((SECONDS - start)) s)"
}

# The test suite, everything but the soak.
stage_tests() {
    build -DVANTREL_BUILD_TESTS=ON
    ctest --preset default -j "$JOBS" -LE soak
}

# The welcome scene for 2,000 frames under memcheck (tests/sanitizers/memcheck.sh).
stage_soak() {
    build -DVANTREL_BUILD_TESTS=ON
    ctest --preset default -L soak
}

# Every tracked C++ file must be formatted as .clang-format says.
stage_format() {
    command -v clang-format >/dev/null 2>&1 || fail "clang-format is not installed"
    local files=()
    if git -C "$ROOT" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        mapfile -t files < <(git -C "$ROOT" ls-files '*.cpp' '*.h')
    else
        mapfile -t files < <(cd "$ROOT" && find . -path './build*' -prune -o \
            \( -name '*.cpp' -o -name '*.h' \) -print)
    fi
    [ ${#files[@]} -gt 0 ] || fail "no C++ files found to check"
    (cd "$ROOT" && clang-format --dry-run --Werror "${files[@]}") ||
        fail "some files are not formatted: run clang-format -i on the files named above"
    say "${#files[@]} C++ files formatted as .clang-format says"
}

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
# The sanitizer options, the leak suppressions (third-party libraries only) and
# the renderer the programs in Xvfb use come from the "asan" test preset; tests
# labelled valgrind are left out there.
stage_sanitizers() {
    build_preset asan
    ctest --preset asan -j "$JOBS"
}

# run_fuzzer NAME SECONDS CORPUS_DIR: runs vantrel-fuzz-NAME for SECONDS on the
# seed corpus fuzz/corpus/NAME, writing new inputs to CORPUS_DIR.
run_fuzzer() {
    local name=$1 seconds=$2 corpus=$3
    local fuzzer="$ROOT/build-fuzz/fuzz/vantrel-fuzz-$name"
    local logs="$ROOT/build-fuzz/logs" artifacts="$ROOT/build-fuzz/artifacts"
    local max_len=256
    [ "$name" = text ] && max_len=2048
    [ "$name" = image ] && max_len=4096
    mkdir -p "$logs" "$artifacts" "$corpus"
    if env "${HEADLESS_SDL[@]}" \
        ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 \
        LSAN_OPTIONS="suppressions=$ROOT/tests/sanitizers/lsan.supp" \
        UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=$max_len -print_final_stats=1 -artifact_prefix="$artifacts/$name-" \
        "$corpus" "$ROOT/fuzz/corpus/$name" >"$logs/$name.log" 2>&1; then
        say "fuzz $name: $(grep -E '^Done [0-9]+ runs' "$logs/$name.log" | tail -n 1), no finding"
        return 0
    fi
    tail -n 60 "$logs/$name.log" >&2
    say "fuzz $name FAILED; full log: $logs/$name.log"
    say "the input that failed is in $artifacts/ (run the fuzzer with that file to reproduce)"
    return 1
}

FUZZ_TARGETS=(color direction text image)

# Each fuzz target for about ten seconds, on a fresh copy of nothing but the seeds.
stage_fuzz() {
    build_preset fuzz
    local work status=0 name
    work=$(mktemp -d)
    for name in "${FUZZ_TARGETS[@]}"; do
        run_fuzzer "$name" 10 "$work/$name" || status=1
    done
    rm -rf "$work"
    return $status
}

# The suite cross-built for Windows and run under Wine, the zip's demo, and a
# learner's new project made into a zip with ./dev windows PATH.
# (Called as in ./dev windows, outside set -e: ending Wine's processes
# reports their statuses, which are no failure.)
stage_windows() {
    windows_build
    windows_test || return 1
    windows_zip || return 1
    bash "$ROOT/tests/consumers/windows_project.sh" "$ROOT" "$WINDOWS_BUILD/learner-project" || return 1
}

cmd_test() {
    install_missing "${BUILD_PACKAGES[@]}" "${HEADLESS_PACKAGES[@]}" "${TEST_PACKAGES[@]}" \
        "${CHECK_PACKAGES[@]}" "${DOCS_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"
    run_stage "test suite" stage_tests
    run_stage "soak under memcheck" stage_soak
    run_stage "format check" stage_format
    run_stage "sanitizer build (ASan + UBSan)" stage_sanitizers
    run_stage "fuzz targets" stage_fuzz
    run_stage "API reference (Doxygen)" stage_docs
    run_stage "Windows (MinGW-w64, Wine)" stage_windows
    run_stage "browser tests (headless Chromium)" stage_web

    local i passed=0 failed=0
    printf '\ndev: ==== summary ====\n'
    for i in "${!STAGE_NAMES[@]}"; do
        printf 'dev:   %-32s %-7s %5d s\n' "${STAGE_NAMES[$i]}" "${STAGE_RESULTS[$i]}" \
            "${STAGE_SECONDS[$i]}"
        if [ "${STAGE_RESULTS[$i]}" = passed ]; then
            passed=$((passed + 1))
        else
            failed=$((failed + 1))
        fi
    done
    printf 'stages: %d passed, %d failed\n' "$passed" "$failed"
    [ "$failed" -eq 0 ]
}

# ---- ./dev fuzz ---------------------------------------------------------------

cmd_fuzz() {
    local seconds=300 targets=() name
    if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then
        seconds=$1
        shift
    fi
    for name in "$@"; do
        [[ " ${FUZZ_TARGETS[*]} " == *" $name "* ]] ||
            fail "unknown fuzz target '$name' (there are: ${FUZZ_TARGETS[*]})"
        targets+=("$name")
    done
    [ ${#targets[@]} -gt 0 ] || targets=("${FUZZ_TARGETS[@]}")
    install_missing "${BUILD_PACKAGES[@]}" "${CHECK_PACKAGES[@]}"
    build_preset fuzz
    local status=0
    for name in "${targets[@]}"; do
        say "fuzzing $name for $seconds s (corpus: build-fuzz/corpus/$name)"
        run_fuzzer "$name" "$seconds" "$ROOT/build-fuzz/corpus/$name" || status=1
    done
    return $status
}

