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


# ---- Against the frameworks teachers compare with ----------------------------
# bench_peers ROUNDS FRAMES: the six scenes of bench/peers/ (2,000 lines,
# 1,000 discs, 100 labels, 2,000 rectangles, 1,000 turned sprites, an empty
# frame; 800 x 600) with Vantrel, SFML and pygame, each its own program, in a
# virtual X display where the OpenGL programs get Mesa's llvmpipe. The
# programs take turns within each round, in an order that shifts every round;
# each prints its mean milliseconds per frame; the tables give the medians
# over the rounds. A second table runs Vantrel again with settings a teacher
# can make outside the program, for what they would change.
bench_peers() {
    local rounds=$1 frames=$2 dir python=/usr/bin/python3 status=0
    [ -x "$python" ] || python=python3
    local bin="$ROOT/build-bench/bench" sprite="$ROOT/bench/peers/sprite.png"
    local font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
    local -a names=(vantrel sfml pygame vantrel-software vantrel-heap vantrel-lines)
    run_peer() {
        local name=$1
        shift
        case $name in
        vantrel) "$bin/vantrel-peer-scenes" "$@" ;;
        sfml) "$bin/vantrel-peer-sfml" "$@" ;;
        pygame) "$python" "$ROOT/bench/peers/pygame_scenes.py" "$@" ;;
        vantrel-software)
            SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 \
                "$bin/vantrel-peer-scenes" "$@"
            ;;
        vantrel-heap) MALLOC_TRIM_THRESHOLD_=268435456 "$bin/vantrel-peer-scenes" "$@" ;;
        vantrel-lines) SDL_RENDER_LINE_METHOD=2 "$bin/vantrel-peer-scenes" "$@" ;;
        esac
    }
    [ -x "$bin/vantrel-peer-sfml" ] || fail "vantrel-peer-sfml was not built: is libsfml-dev installed?"
    PYGAME_HIDE_SUPPORT_PROMPT=1 "$python" -c 'import pygame' >/dev/null 2>&1 || fail "pygame is missing: apt-get install python3-pygame"
    # shellcheck source=tools/headless.sh
    . "$ROOT/tools/headless.sh"
    headless_start || fail "could not start the virtual X display (Xvfb)"
    dir=$(mktemp -d)
    local round i name count=${#names[@]}
    for round in $(seq 0 $((rounds - 1))); do
        for i in $(seq 0 $((count - 1))); do
            name=${names[$(((i + round) % count))]}
            SDL_AUDIODRIVER=dummy run_peer "$name" --sprite "$sprite" --font "$font" \
                --frames "$frames" >"$dir/out" 2>"$dir/err" || {
                status=1
                echo "$name failed:" >&2
                cat "$dir/err" >&2
                break 2
            }
            sed -n "s/^renderer /$name /p" "$dir/out" >>"$dir/renderers"
            sed -n "s/^scene /$name /p" "$dir/out" >>"$dir/scenes"
        done
    done
    headless_stop
    if [ $status -eq 0 ]; then
        awk -v rounds="$rounds" -v frames="$frames" -f "$ROOT/tools/bench_peers.awk" "$dir/scenes"
        printf '\nRenderers:\n\n'
        sort -u "$dir/renderers" | awk '{ name = $1; $1 = ""; if (!seen[name]++) printf "- %s:%s\n", name, $0 }'
    fi
    rm -rf "$dir"
    return $status
}

# bench_line_methods FRAMES: what SDL's ways of drawing lines do to the pixels
# and the speed on the OpenGL renderer (bench/line_methods.cpp), with the
# picture written to build-bench/line-methods.png.
bench_line_methods() {
    # shellcheck source=tools/headless.sh
    . "$ROOT/tools/headless.sh"
    headless_start || fail "could not start the virtual X display (Xvfb)"
    local status=0
    "$ROOT/build-bench/bench/vantrel-bench-line-methods" --frames "$1" \
        --picture "$ROOT/build-bench/line-methods.png" || status=$?
    headless_stop
    return $status
}

# bench_text FRAMES: where a text label's time goes (bench/text_cost.cpp), on
# the OpenGL renderer in a virtual X display and on the software renderer.
bench_text() {
    local frames=$1 font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf status=0
    local program="$ROOT/build-bench/bench/vantrel-bench-text"
    # shellcheck source=tools/headless.sh
    . "$ROOT/tools/headless.sh"
    headless_start || fail "could not start the virtual X display (Xvfb)"
    SDL_AUDIODRIVER=dummy "$program" --font "$font" --frames "$frames" |
        grep -v '^initWorld called$' || status=1
    headless_stop
    [ $status -eq 0 ] || return 1
    printf '\n'
    env "${HEADLESS_SDL[@]}" "$program" --font "$font" --frames "$frames" | grep -v '^initWorld called$'
}

# bench_rebuild RUNS: how long a learner waits after an edit. Vantrel's
# library is installed into a scratch prefix (as the .deb would put it), two
# projects are made with vantrel-new, one built against that install, one
# against this checkout (the library built inside the project), and each is
# rebuilt RUNS times after its main.cpp is touched. Then the README's
# pkg-config route: the precompiled header made once, and the one g++ line.
# Medians of the wall time and of the CPU time (user and system, of every
# process of the rebuild): on a busy machine the wall time also counts the
# time others had the cores, and on an idle one it comes to the CPU time, as
# the rebuild's steps run one after another.
bench_rebuild() {
    local runs=$1 dir status=0
    dir=$(mktemp -d)
    local prefix="$dir/prefix" installed="$dir/installed" checkout="$dir/checkout"
    {
        cmake -S "$ROOT" -B "$dir/library" -DVANTREL_BUILD_DEMO=OFF -DVANTREL_BUILD_EXAMPLES=OFF \
            -DVANTREL_BUILD_TESTS=OFF -DVANTREL_BUILD_TOOLS=OFF -DVANTREL_BUILD_LAUNCHER=OFF \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
            cmake --build "$dir/library" -j "$JOBS" &&
            cmake --install "$dir/library" --prefix "$prefix" &&
            "$ROOT/tools/vantrel-new" "$installed" &&
            cmake -S "$installed" -B "$installed/build" -DCMAKE_PREFIX_PATH="$prefix" &&
            cmake --build "$installed/build" -j "$JOBS" &&
            "$ROOT/tools/vantrel-new" "$checkout" &&
            cmake -S "$checkout" -B "$checkout/build" &&
            cmake --build "$checkout/build" -j "$JOBS"
    } >"$dir/log" 2>&1 || {
        tail -n 30 "$dir/log" >&2
        rm -rf "$dir"
        return 1
    }
    # timed FILE COMMAND...: touches FILE, runs COMMAND RUNS times; prints the
    # median wall and CPU seconds.
    timed() {
        local file=$1 i wall=() cpu=() line TIMEFORMAT='%R %U %S'
        shift
        for i in $(seq "$runs"); do
            touch "$file"
            line=$({ time "$@" >/dev/null 2>&1; } 2>&1) || return 1
            wall+=("$(echo "$line" | cut -d ' ' -f 1)")
            cpu+=("$(echo "$line" | awk '{ print $2 + $3 }')")
        done
        printf '%s %s\n' "$(printf '%s\n' "${wall[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")" \
            "$(printf '%s\n' "${cpu[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")"
    }
    local installed_times checkout_times line_times gch_times
    installed_times=$(timed "$installed/main.cpp" cmake --build "$installed/build") ||
        { say "rebuilding the project against the install failed"; status=1; }
    checkout_times=$(timed "$checkout/main.cpp" cmake --build "$checkout/build") ||
        { say "rebuilding the project against the checkout failed"; status=1; }
    # The README's pkg-config route, in the installed project's folder.
    local cflags flags
    cflags=$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags vantrel) &&
        flags=$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs vantrel) ||
        { say "pkg-config does not find the installed vantrel.pc"; status=1; }
    mkdir -p "$installed/canvas"
    # shellcheck disable=SC2086 # split as a shell splits $(pkg-config ...)
    gch_times=$(timed "$installed/main.cpp" g++ -x c++-header "$prefix/include/vantrel/canvas/canvas.h" \
        $cflags -o "$installed/canvas/canvas.h.gch") || { say "precompiling canvas.h failed"; status=1; }
    # shellcheck disable=SC2086
    line_times=$(cd "$installed" && timed main.cpp g++ main.cpp $flags -fuse-ld=gold -o "$dir/one") ||
        { say "the one g++ line failed"; status=1; }
    rm -rf "$dir"
    [ $status -eq 0 ] || return 1
    printf '| Rebuild after an edit (medians of %d) | Wall time | CPU time | Goal: at most 0.5 s |\n' "$runs"
    printf '|---|---|---|---|\n'
    local label times
    for label in "cmake --build, Vantrel installed|$installed_times" \
        "cmake --build, Vantrel from this checkout|$checkout_times" \
        "one g++ line with pkg-config and the precompiled header|$line_times"; do
        times=${label#*|}
        awk -v label="${label%%|*}" -v wall="${times% *}" -v cpu="${times#* }" 'BEGIN {
            printf "| %s | %.2f s | %.2f s | %s |\n", label, wall, cpu,
                wall <= 0.5 ? "met" : (cpu <= 0.5 ? "met in CPU time, not in wall time" : "NOT met") }'
    done
    printf '\nMaking the precompiled header for the pkg-config route: %.2f s wall, %.2f s CPU.\n' \
        "${gch_times% *}" "${gch_times#* }"
}
