# ./dev bench: the benchmarks against raw SDL2, printed as the tables of
# docs/performance.md. Sourced by ./dev.

# bench_instructions FRAMES [PROGRAM]: frame cost in instructions. callgrind
# counts both paths of PROGRAM (default vantrel-bench-frame) in one run, which
# dumps after every block of frames with the label "canvas" or "raw".
bench_instructions() {
    local frames=$1 program=${2:-vantrel-bench-frame} dir
    dir=$(mktemp -d)
    env "${HEADLESS_SDL[@]}" valgrind --tool=callgrind --instr-atstart=no \
        --callgrind-out-file="$dir/callgrind.out" \
        "$ROOT/build-bench/bench/$program" --callgrind "$frames" \
        >"$dir/log" 2>&1 || {
        cat "$dir/log" >&2
        rm -rf "$dir"
        return 1
    }
    local counted
    counted=$(sed -n 's/^callgrind: \([0-9]*\) frames.*/\1/p' "$dir/log")
    awk -v frames="$counted" '
        /^desc: Trigger: Client Request: / { label = $NF }
        /^totals: / { if (label != "") total[label] += $2; label = "" }
        END {
            printf "| Path (whole frame, pacing included) | Instructions per frame (callgrind, %d frames) |\n", frames
            printf "|---|---|\n"
            printf "| canvas | %.0f |\n", total["canvas"] / frames
            printf "| raw SDL2 calls | %.0f |\n", total["raw"] / frames
            printf "| difference | %+.0f |\n", (total["canvas"] - total["raw"]) / frames
            ratio = total["canvas"] / total["raw"]
            printf "| ratio canvas / raw | %.5f (goal: at most 1.01: %s) |\n", ratio, ratio <= 1.01 ? "met" : "NOT met"
        }' "$dir"/callgrind.out.*
    rm -rf "$dir"
}

bench_cpu() {
    local seconds=$1 rounds=$2
    # shellcheck source=tools/headless.sh
    . "$ROOT/tools/headless.sh"
    headless_start || fail "could not start the virtual X display (Xvfb)"
    local status=0
    SDL_AUDIODRIVER=dummy "$ROOT/build-bench/bench/vantrel-bench-cpu" --rounds "$rounds" \
        --warmup 1 --seconds "$seconds" "$ROOT/build-bench/app/vantrel-demo" \
        "$ROOT/build-bench/bench/vantrel-raw-demo" || status=$?
    headless_stop
    return $status
}

# A recorded run of the demonstration program: 600 frames (10 s at 60 fps)
# on the fixed clock, saving no frame and then every 10th; the median of
# five runs each.
bench_recording() {
    local bin="$ROOT/build-bench" dir runs=5
    dir=$(mktemp -d)
    median_ms() {
        local times=() i start
        for i in $(seq $runs); do
            start=$(date +%s%N)
            (cd "$dir" && "$bin/tools/vantrel-run" --frames 600 "$@" -- "$bin/app/vantrel-demo" \
                >/dev/null) || return 1
            times+=($((($(date +%s%N) - start) / 1000000)))
        done
        printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
    }
    local plain saving
    plain=$(median_ms) || { rm -rf "$dir"; return 1; }
    saving=$(median_ms --save every:10 --out "$dir/f-%04d.png") || { rm -rf "$dir"; return 1; }
    local size
    size=$(du -k "$dir"/f-0600.png | cut -f 1)
    rm -rf "$dir"
    printf '| Run (median of %d) | Wall time | Share of the 10 s it shows |\n|---|---|---|\n' $runs
    awk -v ms="$plain" 'BEGIN { printf "| 600 frames, nothing saved | %d ms | 1/%.0f (goal: at most 1/20: %s) |\n", ms, 10000 / ms, ms <= 500 ? "met" : "NOT met" }'
    awk -v ms="$saving" -v plain="$plain" 'BEGIN { printf "| 600 frames, every 10th saved (60 PNG files) | %d ms | 1/%.0f; %.1f ms a saved frame |\n", ms, 10000 / ms, (ms - plain) / 60 }'
    printf '\nOne saved 640 x 640 frame: %s KiB.\n' "$size"
}

# ./dev bench --grading [--quick]: a class of 100 graded by vantrel-grade,
# in sandboxes and without (bench/grading.sh); minutes, so on its own.
bench_grading() {
    local repetitions=3
    [ "${1:-}" = --quick ] && repetitions=1
    grading_stage
    bash "$ROOT/bench/grading.sh" "$ROOT" "$BUILD/grading" "$BUILD/bench-grading" "$repetitions"
}

cmd_bench() {
    if [ "${1:-}" = --grading ]; then
        shift
        bench_grading "$@"
        return
    fi
    local quick=false
    [ "${1:-}" = --quick ] && quick=true
    install_missing "${BUILD_PACKAGES[@]}" "${HEADLESS_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
    build_preset bench

    local frames=400 gbench=() pacing=1200 cpu_seconds=10 cpu_rounds=5 memory=18000
    local sprite_frames=40
    if $quick; then
        frames=40 gbench=(--benchmark_repetitions=3 --benchmark_min_time=0.1) pacing=100
        cpu_seconds=2 cpu_rounds=1 memory=1200 sprite_frames=8
        say "quick run: the figures are rough, not for docs/performance.md"
    fi
    local bin="$ROOT/build-bench/bench"
    printf '\nMachine: %s cores, %s; %s; kernel %s\n' "$(nproc)" \
        "$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)" \
        "$(date -u '+%Y-%m-%d %H:%M UTC')" "$(uname -r)"
    printf 'Load average at the start: %s\n' "$(cut -d ' ' -f 1-3 /proc/loadavg)"

    printf '\n## 1. Frame cost of the welcome scene: canvas against the same raw SDL2 calls\n\n'
    bench_instructions "$frames" || fail "the instruction count failed"
    printf '\nWall time (Google Benchmark, software renderer, offscreen):\n'
    env "${HEADLESS_SDL[@]}" "$bin/vantrel-bench-frame" "${gbench[@]}" ||
        fail "the wall-time benchmark failed"
    printf '\n## 1b. Frame cost of every further shape family and aligned text: canvas against the same raw calls\n\n'
    bench_instructions "$frames" vantrel-bench-shapes || fail "the instruction count of the shapes frame failed"

    printf '\n## 2. Frame pacing\n\n'
    env "${HEADLESS_SDL[@]}" "$bin/vantrel-bench-pacing" --frames "$pacing" ||
        fail "the pacing benchmark failed"

    printf '\n## 3. CPU share under Xvfb: vantrel-demo against the raw SDL2 program\n'
    bench_cpu "$cpu_seconds" "$cpu_rounds" || fail "the CPU benchmark failed"

    printf '\n## 4. Memory over time (welcome scene, 255 fps, headless)\n'
    env "${HEADLESS_SDL[@]}" "$bin/vantrel-bench-memory" "$memory" | grep -v '^initWorld called$' ||
        fail "the memory benchmark failed"

    printf '\n## 5. A frame of 1,000 sprites: canvas against the same raw SDL_RenderCopyEx calls\n\n'
    bench_instructions "$sprite_frames" vantrel-bench-sprites ||
        fail "the sprite instruction count failed"
    printf '\nWall time (Google Benchmark, software renderer, offscreen):\n'
    env "${HEADLESS_SDL[@]}" "$bin/vantrel-bench-sprites" "${gbench[@]}" ||
        fail "the sprite wall-time benchmark failed"

    printf '\n## 6. Recorded run of the demo (vantrel-run, fixed clock, headless)\n\n'
    bench_recording || fail "the recorded-run benchmark failed"
    printf '\nLoad average at the end: %s\n' "$(cut -d ' ' -f 1-3 /proc/loadavg)"
}

