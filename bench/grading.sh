#!/usr/bin/env bash
# vantrel-grade on a class of 100: the reference's house (docs/grading/) and
# 100 variants of it, a third each correct (reworded, reordered), wrong (a
# colour or a place changed) and broken (a slip that stops the build),
# graded with -j 2 in sandboxes and with --no-sandbox, alternately,
# REPETITIONS times each. Prints the median wall time, the time per
# submission, how the steps share it, and what one build costs three ways
# (a CMake project, one g++ line, one g++ line with the precompiled header).
#
#   grading.sh SOURCE_DIR GRADING_PREFIX WORK_DIR [REPETITIONS]
set -eu
source=$1 prefix=$2 work=$3 repetitions=${4:-3}
rm -rf "$work"
mkdir -p "$work/class"
reference="$source/docs/grading/reference.cpp"

# ---- The class --------------------------------------------------------------------
colours=(MAROON BLUE GREEN LIME PURPLE TEAL OLIVE AQUA FUCHSIA NAVY BLACK)
for i in $(seq 0 99); do
    file=$(printf '%s/class/student%03d.cpp' "$work" "$i")
    case $((i % 3)) in
    0) # correct: another comment, the two windows drawn the other way round
        sed -e "s|The teacher's reference solution.|Student $i's house.|" \
            -e '/(120, 160, 160, 195, glass)/{h;d}' -e '/(240, 160, 280, 195, glass)/G' \
            "$reference" >"$file"
        ;;
    1) # wrong: the roof in another colour, or the door moved
        if [ $((i % 2)) -eq 0 ]; then
            sed "s|Color(RED)); // roof|Color(${colours[$((i % ${#colours[@]}))]})); // roof|" "$reference" >"$file"
        else
            sed "s|canvas.drawFilledRectangle(180, 210, 220, 280|canvas.drawFilledRectangle($((150 + i % 20)), 210, $((190 + i % 20)), 280|" "$reference" >"$file"
        fi
        ;;
    2) # broken: a missing semicolon, or a misspelt name
        if [ $((i % 2)) -eq 0 ]; then
            sed 's|bool lights = false;|bool lights = false|' "$reference" >"$file"
        else
            sed 's|canvas.update();|canvas.updat();|' "$reference" >"$file"
        fi
        ;;
    esac
done

# ---- The gradings -------------------------------------------------------------------
# grade NAME OPTIONS...: one grading of the class; appends its wall time to
# NAME.times and keeps its results in NAME-results/.
grade() {
    local name=$1 start
    shift
    start=${EPOCHREALTIME//[.,]/}
    (cd "$work" && "$prefix/bin/vantrel-grade" -j 2 --frames 20,40 \
        --input "$source/docs/grading/input.txt" --out "$name-results" "$@" "$reference" class \
        >"$name.table" 2>"$name.err") || [ $? -eq 1 ] || {
        cat "$work/$name.err" >&2
        return 1
    }
    echo $(((${EPOCHREALTIME//[.,]/} - start) / 1000)) >>"$work/$name.times"
}
for _ in $(seq "$repetitions"); do
    grade sandboxed
    grade unsandboxed --no-sandbox
done
for name in sandboxed unsandboxed; do
    passed=$(grep -c '| PASS |$' "$work/$name.table" || true)
    built=$(grep -c '^| student[0-9]* | yes |' "$work/$name.table" || true)
    [ "$passed" -eq 34 ] && [ "$built" -eq 67 ] || {
        echo "grading.sh: $name: $passed passed and $built built, expected 34 and 67" >&2
        exit 1
    }
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# total_seconds NAME STEP: the sum of STEP's seconds= over the class (last grading).
total_seconds() {
    cat "$work/$1-results"/student*/"$2.facts" 2>/dev/null | sed -n 's/^seconds=//p' |
        awk '{ s += $1 } END { printf "%.1f", s }'
}
printf '\nMachine: %s cores, %s; %s; kernel %s\n' "$(nproc)" \
    "$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)" \
    "$(date -u '+%Y-%m-%d %H:%M UTC')" "$(uname -r)"
printf 'Load average at the end: %s\n\n' "$(cut -d ' ' -f 1-3 /proc/loadavg)"
printf '| 100 submissions, -j 2 (median of %d) | Whole grading | Per submission | Building (all 100) | Running (the 67 built) | Comparing | Compiling, share of the steps |\n' "$repetitions"
printf '|---|---|---|---|---|---|---|\n'
for name in sandboxed unsandboxed; do
    label="in sandboxes"
    [ $name = unsandboxed ] && label="--no-sandbox"
    awk -v ms="$(median <"$work/$name.times")" -v label="$label" -v b="$(total_seconds $name build)" \
        -v r="$(total_seconds $name run)" -v c="$(total_seconds $name compare)" \
        'BEGIN { printf "| %s | %.1f s | %.2f s | %.1f s | %.1f s | %.1f s | %.0f %% |\n", label, ms / 1000, ms / 100000, b, r, c, 100 * b / (b + r + c) }'
done
awk -v a="$(median <"$work/sandboxed.times")" -v b="$(median <"$work/unsandboxed.times")" \
    'BEGIN { printf "\nThe sandboxes cost %.1f s over the whole grading, %.0f ms a submission (%+.0f %%).\n", (a - b) / 1000, (a - b) / 100, (a - b) * 100 / b }'

# ---- One build, three ways (outside the sandbox, median of 3) -------------------------
one="$work/one"
mkdir -p "$one/project"
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
read -r -a cflags <<<"$(pkg-config --cflags vantrel)"
read -r -a libs <<<"$(pkg-config --libs vantrel)"
cp -R "$prefix/include" "$one/include"
headers="$one/include/vantrel"
g++ -std=c++17 -O1 "-I$headers" "${cflags[@]}" -x c++-header "$headers/canvas/canvas.h" \
    -o "$headers/canvas/canvas.h.gch"
time_ms() {
    local start=${EPOCHREALTIME//[.,]/}
    "$@" >/dev/null 2>&1 || return 1
    echo $(((${EPOCHREALTIME//[.,]/} - start) / 1000))
}
cp "$reference" "$one/project/main.cpp"
# A project per submission, against the same prebuilt library (through pkg-config).
cat >"$one/project/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.22)
project(house LANGUAGES CXX)
find_package(PkgConfig REQUIRED)
pkg_check_modules(VANTREL REQUIRED IMPORTED_TARGET vantrel)
add_executable(house main.cpp)
target_compile_features(house PRIVATE cxx_std_17)
target_link_libraries(house PRIVATE PkgConfig::VANTREL)
CMAKE
cmake_ms=() plain_ms=() pch_ms=()
for _ in 1 2 3; do
    rm -rf "$one/project/build"
    cmake_ms+=("$(time_ms sh -c "cmake -S '$one/project' -B '$one/project/build' -DCMAKE_BUILD_TYPE=Release && cmake --build '$one/project/build'")")
    plain_ms+=("$(time_ms g++ -std=c++17 -O1 "${cflags[@]}" "$reference" "${libs[@]}" -o "$one/plain")")
    pch_ms+=("$(time_ms g++ -std=c++17 -O1 "-I$headers" "${cflags[@]}" "$reference" -fuse-ld=gold -s "${libs[@]}" -o "$one/pch")")
done
pch_build=$(time_ms g++ -std=c++17 -O1 "-I$headers" "${cflags[@]}" -x c++-header "$headers/canvas/canvas.h" -o "$one/again.gch")
printf '\n| One build of the reference (median of 3, no sandbox) | Time |\n|---|---|\n'
printf '| a CMake project (configure and build, the library through pkg-config) | %s ms |\n' "$(printf '%s\n' "${cmake_ms[@]}" | median)"
printf '| one g++ line against the static library | %s ms |\n' "$(printf '%s\n' "${plain_ms[@]}" | median)"
printf '| the same, canvas.h precompiled, linked by gold without debugging information (as vantrel-grade does) | %s ms |\n' "$(printf '%s\n' "${pch_ms[@]}" | median)"
printf '| precompiling canvas.h, once per grading | %s ms |\n' "$pch_build"

# ---- What one sandbox costs, step by step (median of 20, alternately) -----------------
# The same do-nothing step started in a sandbox as vantrel-grade starts it,
# and without: under a busy machine a steadier figure than whole gradings.
# shellcheck source=../tools/installed/grading/sandbox.sh
. "$prefix/share/vantrel/grading/sandbox.sh"
INSIDE="$prefix/share/vantrel/grading/inside.sh"
sandbox_prepare "$prefix"
sandboxed_ms=() plain_ms=()
for _ in $(seq 20); do
    sandboxed_ms+=("$(time_ms "${SANDBOX_USER[@]}" "${BWRAP[@]}" --size $((1 << 20)) --tmpfs /work \
        --size $((1 << 20)) --tmpfs /tmp "${BWRAP_AFTER[@]}" --chdir /work -- \
        bash "$INSIDE" --whole-sandbox --time 10 -- true 4>/dev/null)")
    plain_ms+=("$(cd "$one" && time_ms bash "$INSIDE" --time 10 -- true 4>/dev/null)")
done
printf '\n| One step doing nothing (median of 20) | Time |\n|---|---|\n'
printf '| in a sandbox, as vantrel-grade starts it | %s ms |\n' "$(printf '%s\n' "${sandboxed_ms[@]}" | median)"
printf '| without (--no-sandbox) | %s ms |\n' "$(printf '%s\n' "${plain_ms[@]}" | median)"
