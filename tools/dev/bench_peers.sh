# ./dev bench, benchmarks 10 to 13: six scenes against the frameworks teachers
# compare with, SDL's ways of drawing lines, a text label's cost and a
# learner's rebuild. Sourced by ./dev after tools/dev/bench.sh.

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
    local -a names=(vantrel sfml pygame vantrel-opengl vantrel-glframes)
    run_peer() {
        local name=$1
        shift
        case $name in
        vantrel) "$bin/vantrel-peer-scenes" "$@" ;;
        sfml) "$bin/vantrel-peer-sfml" "$@" ;;
        pygame) "$python" "$ROOT/bench/peers/pygame_scenes.py" "$@" ;;
        # What drew before the canvas chose by itself: SDL's OpenGL renderer.
        vantrel-opengl) SDL_RENDER_DRIVER=opengl "$bin/vantrel-peer-scenes" "$@" ;;
        # The software renderer with its frames shown through an OpenGL
        # texture (SDL's own default) instead of X11's shared memory.
        vantrel-glframes) SDL_FRAMEBUFFER_ACCELERATION=1 "$bin/vantrel-peer-scenes" "$@" ;;
        esac
    }
    [ -x "$bin/vantrel-peer-sfml" ] || fail "vantrel-peer-sfml was not built: is libsfml-dev installed?"
    PYGAME_HIDE_SUPPORT_PROMPT=1 "$python" -c 'import pygame' >/dev/null 2>&1 || fail "pygame is missing: apt-get install python3-pygame"
    # shellcheck source=tools/testing/headless.sh
    . "$ROOT/tools/testing/headless.sh"
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
            sed -n "s/^scene /$name /p; s/^setup \(.*\)/$name setup \1 0/p" "$dir/out" >>"$dir/scenes"
        done
    done
    headless_stop
    if [ $status -eq 0 ]; then
        awk -v rounds="$rounds" -v frames="$frames" -f "$ROOT/tools/dev/bench_peers.awk" "$dir/scenes"
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
    # shellcheck source=tools/testing/headless.sh
    . "$ROOT/tools/testing/headless.sh"
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
    # shellcheck source=tools/testing/headless.sh
    . "$ROOT/tools/testing/headless.sh"
    headless_start || fail "could not start the virtual X display (Xvfb)"
    SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=opengl "$program" --font "$font" --frames "$frames" |
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
            "$ROOT/tools/installed/vantrel-new" "$installed" &&
            cmake -S "$installed" -B "$installed/build" -DCMAKE_PREFIX_PATH="$prefix" &&
            cmake --build "$installed/build" -j "$JOBS" &&
            "$ROOT/tools/installed/vantrel-new" "$checkout" &&
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
