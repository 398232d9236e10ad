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

# copy_checkout DESTINATION: the checkout's files as a fresh clone would have
# them (tracked files, plus new ones not yet committed), nothing built.
copy_checkout() {
    local destination=$1
    mkdir -p "$destination"
    if git -C "$ROOT" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        (cd "$ROOT" && git ls-files -z --cached --others --exclude-standard |
            tar --null -T - --ignore-failed-read -cf - 2>/dev/null) | tar -C "$destination" -xf -
    else
        (cd "$ROOT" && tar --exclude='./build*' -cf - .) | tar -C "$destination" -xf -
    fi
}

# What a new machine does the first time, done again on every run in
# throw-away folders, because the caches outside the clone would otherwise
# hide it: ./dev demo in a fresh copy of the checkout with an empty cache
# (its first configure and build, and the headless run), the deb-src entries
# apt needs for the libraries built from Debian's sources, and the library
# caches' keys from an empty cache. (The browser stage installs its node
# modules afresh, and the Windows stage makes a new Wine prefix, on every run.)
stage_first_runs() {
    local work
    work=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-first-run.XXXXXX")
    # Expanded now: the trap runs after this function's locals are gone.
    # shellcheck disable=SC2064
    trap "rm -rf $(printf '%q' "$work")" EXIT
    copy_checkout "$work/clone"
    say "./dev demo in a fresh copy of the checkout ($work/clone), no display, empty cache"
    (cd "$work/clone" && env -u DISPLAY -u WAYLAND_DISPLAY XDG_CACHE_HOME="$work/cache" \
        timeout 900 ./dev demo) || fail "./dev demo failed in a fresh copy of the checkout"
    [ -s "$work/clone/build/demo.png" ] || fail "./dev demo made no screenshot in the fresh copy"
    say "./dev NAME --help for every sub-command, in the fresh copy"
    local name usage
    for name in $(sed -n 's/^\(#   \)\.\/dev \([a-z]*\).*/\2/p' "$ROOT/dev" | sort -u); do
        usage=$("$work/clone/dev" "$name" --help 2>&1) ||
            fail "./dev $name --help failed: $usage"
        [[ $usage == *"$name"* ]] || fail "./dev $name --help does not say how to use it: $usage"
    done

    # shellcheck source=tools/dev/debsrc.sh
    . "$ROOT/tools/dev/debsrc.sh"
    say "deb-src entries made from this machine's apt sources, in a throw-away apt state"
    debsrc_first_run "$work/apt"

    say "the library caches' keys from an empty cache"
    local prefix
    prefix=$(XDG_CACHE_HOME="$work/cache" "$ROOT/tools/dev/web/libraries.sh" --prefix) ||
        fail "tools/dev/web/libraries.sh --prefix failed with an empty cache"
    [[ $prefix == "$work/cache/vantrel/web/"* ]] ||
        fail "the web libraries' prefix is not in the cache folder: $prefix"
    if command -v x86_64-w64-mingw32-gcc-posix >/dev/null 2>&1; then
        prefix=$(XDG_CACHE_HOME="$work/cache" "$ROOT/tools/dev/windows/deps.sh" --key) ||
            fail "tools/dev/windows/deps.sh --key failed with an empty cache"
        [[ $prefix == "$work/cache/vantrel/windows/"* ]] ||
            fail "the Windows libraries' folder is not in the cache folder: $prefix"
    fi
    say "first runs: ./dev demo, deb-src entries and cache keys work from nothing"
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
    local asan=detect_leaks=1:halt_on_error=1
    if [ "$name" = sound ]; then
        max_len=16384
        # Full stacks through the sound libraries (built without frame
        # pointers), so that LeakSanitizer's suppressions can name the
        # library a leak happens in.
        asan=$asan:fast_unwind_on_malloc=0
    fi
    mkdir -p "$logs" "$artifacts" "$corpus"
    if env "${HEADLESS_SDL[@]}" \
        ASAN_OPTIONS=$asan \
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

FUZZ_TARGETS=(color direction text image sound)

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
    # A new Wine prefix on every run, as on a new machine.
    rm -rf "$WINDOWS_BUILD/wine"
    windows_build
    windows_test || return 1
    windows_zip || return 1
    # From a fresh copy of the checkout, where ./dev windows has never run
    # (the libraries' cache is as warm as this run left it).
    local clone status=0
    clone=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-windows-clone.XXXXXX")
    copy_checkout "$clone"
    bash "$ROOT/tests/consumers/windows_project.sh" "$clone" "$WINDOWS_BUILD/learner-project" ||
        status=1
    rm -rf "$clone"
    return $status
}

cmd_test() {
    install_missing "${BUILD_PACKAGES[@]}" "${HEADLESS_PACKAGES[@]}" "${TEST_PACKAGES[@]}" \
        "${CHECK_PACKAGES[@]}" "${DOCS_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" \
        "${WEB_PACKAGES[@]}" "${WEB_TEST_PACKAGES[@]}" "${GRADING_PACKAGES[@]}" \
        "${GRADING_TEST_PACKAGES[@]}"
    run_stage "first runs (empty caches)" stage_first_runs
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
    [ "$failed" -eq 0 ] || exit 1
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

