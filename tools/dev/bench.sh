# ./dev bench: the benchmarks against raw SDL2, printed as the tables of
# docs/performance.md. Sourced by ./dev.

# bench_counts FRAMES PROGRAM: runs PROGRAM --callgrind FRAMES under callgrind
# and prints "LABEL INSTRUCTIONS_PER_FRAME" for every label it dumped with.
bench_counts() {
    local frames=$1 program=$2 dir
    dir=$(mktemp -d)
    env "${HEADLESS_SDL[@]}" valgrind --tool=callgrind --instr-atstart=no \
        --callgrind-out-file="$dir/callgrind.out" \
        "$ROOT/build-bench/bench/$program" --callgrind "$frames" >"$dir/log" 2>&1 || {
        cat "$dir/log" >&2
        rm -rf "$dir"
        return 1
    }
    local counted
    counted=$(sed -n 's/^callgrind: \([0-9]*\) frames.*/\1/p' "$dir/log")
    awk -v frames="$counted" '
        /^desc: Trigger: Client Request: / { label = $NF }
        /^totals: / { if (label != "") total[label] += $2; label = "" }
        END { for (l in total) printf "%s %.0f\n", l, total[l] / frames }' "$dir"/callgrind.out.*
    rm -rf "$dir"
}

# bench_instructions FRAMES [PROGRAM]: frame cost in instructions. callgrind
# counts both paths of PROGRAM (default vantrel-bench-frame) in one run, which
# dumps after every block of frames with the label "canvas" or "raw".
bench_instructions() {
    local frames=$1 program=${2:-vantrel-bench-frame} counts
    counts=$(bench_counts "$frames" "$program") || return 1
    awk -v frames="$frames" '
        { total[$1] = $2 }
        END {
            printf "| Path (whole frame, pacing included) | Instructions per frame (callgrind, %d frames) |\n", frames
            printf "|---|---|\n"
            printf "| canvas | %.0f |\n", total["canvas"]
            printf "| raw SDL2 calls | %.0f |\n", total["raw"]
            printf "| difference | %+.0f |\n", total["canvas"] - total["raw"]
            ratio = total["canvas"] / total["raw"]
            printf "| ratio canvas / raw | %.5f (goal: at most 1.01: %s) |\n", ratio, ratio <= 1.01 ? "met" : "NOT met"
        }' <<<"$counts"
}

bench_cpu() {
    local seconds=$1 rounds=$2
    # shellcheck source=tools/testing/headless.sh
    . "$ROOT/tools/testing/headless.sh"
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

# The mixer's CPU time per second of audio (silence, 16 effects, a streamed
# OGG song, both) and the song's memory while it plays, against loading it
# whole. The song: 3 minutes, 44.1 kHz stereo, a sweep on the left and pink
# noise on the right, as a learner's downloaded music would be.
bench_sound() {
    local seconds=$1 rounds=$2 dir status=0
    dir=$(mktemp -d)
    sox -n -r 44100 -c 2 -b 16 "$dir/song.wav" synth 180 sine 100-3000 pinknoise vol 0.5 &&
        oggenc --quiet --quality 3 --output "$dir/song.ogg" "$dir/song.wav" || {
        rm -rf "$dir"
        return 1
    }
    rm -f "$dir/song.wav"
    printf 'The song: %s KiB of Ogg Vorbis (quality 3).\n\n' "$(du -k "$dir/song.ogg" | cut -f 1)"
    local mode
    for mode in cpu memory; do
        [ "$mode" = memory ] && printf '\n'
        (cd "$dir" && SDL_VIDEODRIVER=dummy SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=disk \
            SDL_DISKAUDIOFILE=/dev/null SDL_DISKAUDIODELAY=0 \
            "$ROOT/build-bench/bench/vantrel-bench-sound" "$mode" --rounds "$rounds" \
            --seconds "$seconds" song.ogg 2>/dev/null | grep -v '^initWorld called$') || status=1
    done
    rm -rf "$dir"
    return $status
}

# ---- Images you draw into, and the camera ------------------------------------------

# A frame of a painting with 5,000 stroke points kept in an image, against
# the same points redrawn every frame and an empty frame.
bench_paint() {
    local frames=$1 counts
    counts=$(bench_counts "$frames" vantrel-bench-paint) || return 1
    awk -v frames="$frames" '
        { n[$1] = $2 }
        END {
            split("empty photo window kept painting redrawn", order, " ")
            text["empty"] = "empty frame"
            text["photo"] = "one loaded opaque 640 x 480 image (drawImage, copied)"
            text["window"] = "one loaded 640 x 480 image with a hole (drawImage, blended)"
            text["kept"] = "5,000 points kept in an image (drawImage)"
            text["painting"] = "kept, and one new step painted into the image"
            text["redrawn"] = "5,000 points redrawn (4,950 thick lines and discs)"
            blended = n["window"] - n["empty"]
            printf "| Frame (whole frame, pacing included; %d frames each) | Instructions per frame | Above the empty frame | In draws of the image with a hole |\n", frames
            printf "|---|---|---|---|\n"
            for (i = 1; i <= 6; i++) {
                l = order[i]
                printf "| %s | %.0f | %+.0f | %.2f |\n", text[l], n[l], n[l] - n["empty"], (n[l] - n["empty"]) / blended
            }
        }' <<<"$counts"
}

# The camera: a frame of every call family with the camera set, against the
# same calls at the window coordinates they come to, without it.
bench_camera() {
    local frames=$1 counts
    counts=$(bench_counts "$frames" vantrel-bench-camera) || return 1
    awk -v frames="$frames" '
        { n[$1] = $2 }
        END {
            calls = 26
            printf "| Path (26 drawing calls a frame, pacing included; %d frames each) | Instructions per frame |\n", frames
            printf "|---|---|\n"
            printf "| with the camera at (37, 23), world coordinates | %.0f |\n", n["camera"]
            printf "| without a camera, window coordinates | %.0f |\n", n["plain"]
            printf "| difference per drawing call | %+.1f |\n", (n["camera"] - n["plain"]) / calls
            ratio = n["camera"] / n["plain"]
            printf "| ratio with / without | %.5f (goal: at most 1.01: %s) |\n", ratio, ratio <= 1.01 ? "met" : "NOT met"
        }' <<<"$counts"
}

# ./dev bench --grading [--quick]: a class of 100 graded by vantrel-grade,
# in sandboxes and without (bench/grading.sh); minutes, so on its own.
bench_grading() {
    local repetitions=3
    [ "${1:-}" = --quick ] && repetitions=1
    grading_stage
    bash "$ROOT/bench/grading.sh" "$ROOT" "$BUILD/grading" "$BUILD/bench-grading" "$repetitions"
}

# ./dev bench --playground: the playground's goals (tests/web/playground_test.mjs
# --measure), with the kit ./dev playground uses; minutes, so on its own.
bench_playground() {
    web_install
    web_install_test_tools
    install_missing "${PLAYGROUND_PACKAGES[@]}"
    playground_kit
    local modules
    modules=$(web_node_modules)
    printf 'Machine: %s cores, %s; %s; load average %s\n\n' "$(nproc)" \
        "$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)" \
        "$(date -u '+%Y-%m-%d %H:%M UTC')" "$(cut -d ' ' -f 1-3 /proc/loadavg)"
    VANTREL_NODE_MODULES="$modules" timeout 900 node "$ROOT/tests/web/playground_test.mjs" --measure \
        "$ROOT" "$PLAYGROUND_KIT"
}

cmd_bench() {
    if [ "${1:-}" = --grading ]; then
        shift
        bench_grading "$@"
        return
    fi
    if [ "${1:-}" = --playground ]; then
        bench_playground
        return
    fi
    local quick=false
    [ "${1:-}" = --quick ] && quick=true
    install_missing "${BUILD_PACKAGES[@]}" "${HEADLESS_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
    build_preset bench

    local frames=400 gbench=() pacing=1200 cpu_seconds=10 cpu_rounds=5 memory=18000
    local sprite_frames=40 sound_seconds=30 sound_rounds=5 paint_frames=40
    local peer_rounds=7 peer_frames=40 line_frames=30 text_frames=60 rebuild_runs=7
    if $quick; then
        frames=40 gbench=(--benchmark_repetitions=3 --benchmark_min_time=0.1) pacing=100
        cpu_seconds=2 cpu_rounds=1 memory=1200 sprite_frames=8 sound_seconds=5 sound_rounds=1
        paint_frames=4 peer_rounds=1 peer_frames=5 line_frames=5 text_frames=5 rebuild_runs=1
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
    printf '\n## 7. Sound: mixing 16 effects and a streamed OGG against silence; a song in memory\n\n'
    bench_sound "$sound_seconds" "$sound_rounds" || fail "the sound benchmark failed"
    printf '\n## 8. A painting kept in an image: 5,000 stroke points kept, redrawn, and none\n\n'
    bench_paint "$paint_frames" || fail "the paint instruction count failed"
    printf '\nWall time (Google Benchmark, software renderer, offscreen):\n'
    env "${HEADLESS_SDL[@]}" "$bin/vantrel-bench-paint" "${gbench[@]}" ||
        fail "the paint wall-time benchmark failed"

    printf '\n## 9. The camera: every call family with it and without it\n\n'
    bench_camera "$frames" || fail "the camera instruction count failed"

    printf '\n## 10. Against SFML and pygame: six scenes under Xvfb\n\n'
    printf 'Load average before: %s\n\n' "$(cut -d ' ' -f 1-3 /proc/loadavg)"
    bench_peers "$peer_rounds" "$peer_frames" || fail "the comparison with SFML and pygame failed"
    printf '\nLoad average after: %s\n' "$(cut -d ' ' -f 1-3 /proc/loadavg)"

    printf '\n## 11. SDL'"'"'s ways of drawing lines on the OpenGL renderer\n\n'
    bench_line_methods "$line_frames" || fail "the line-method benchmark failed"

    printf '\n## 12. Where a text label'"'"'s time goes\n\n'
    bench_text "$text_frames" || fail "the text benchmark failed"

    printf '\n## 13. A learner'"'"'s rebuild after an edit\n\n'
    bench_rebuild "$rebuild_runs" || fail "the rebuild benchmark failed"
    printf '\nLoad average at the end: %s\n' "$(cut -d ' ' -f 1-3 /proc/loadavg)"
}
