#!/usr/bin/env bash
# Learners' programs still build, and warnings still show, with the
# precompiled canvas/canvas.h (tests/consumers/precompiled/): through
# vantrel_add_program, which precompiles it, and through pkg-config with the
# .gch made the way the README says. Each program is also run to its end.
#
#   precompiled.sh cmake     VANTREL_SOURCE_DIR WORK_DIR
#   precompiled.sh pkgconfig VANTREL_SOURCE_DIR WORK_DIR VANTREL_BUILD_DIR
set -uo pipefail
mode=$1 source=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)/precompiled
rm -rf "$work"
mkdir -p "$work"

fail() {
    echo "precompiled: FAIL: $*" >&2
    exit 1
}

# expect_warning LOG: the unused variable in warns.cpp was reported, and no
# precompiled header was refused.
expect_warning() {
    grep -q "warns.cpp.*unused variable.*forgotten" "$1" ||
        fail "the compiler's warning about warns.cpp did not show: $(cat "$1")"
    if grep -qi "precompiled header.*not used\|invalid-pch\|not a valid precompiled" "$1"; then
        fail "a precompiled header was refused: $(grep -i "precompiled\|pch" "$1")"
    fi
}

case "$mode" in
cmake)
    cmake -S "$here" -B "$work/build" -DVANTREL_SOURCE_DIR="$source" >"$work/configure.log" 2>&1 ||
        fail "configuring failed: $(cat "$work/configure.log")"
    cmake --build "$work/build" -j 2 >"$work/build.log" 2>&1 ||
        fail "the programs did not build: $(cat "$work/build.log")"
    for program in only_ours other_headers warns; do
        [ -s "$work/build/CMakeFiles/$program.dir/cmake_pch.hxx.gch" ] ||
            fail "$program was built without a precompiled canvas.h"
    done
    expect_warning "$work/build.log"
    bin=$work/build
    ;;
pkgconfig)
    prefix=$work/prefix
    cmake --install "$4" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
    export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
    bin=$work
    cd "$work" || exit 1
    cp "$here"/*.cpp "$here"/*.h .
    # The README's two steps: the header precompiled once into canvas/ beside
    # the program, then the usual line, which finds it there.
    mkdir -p canvas
    # shellcheck disable=SC2046 # split as a shell splits $(pkg-config ...)
    g++ -x c++-header "$(pkg-config --variable=includedir vantrel)/canvas/canvas.h" \
        $(pkg-config --cflags vantrel) -o canvas/canvas.h.gch 2>"$work/gch.log" ||
        fail "precompiling canvas.h failed: $(cat "$work/gch.log")"
    for program in only_ours other_headers warns; do
        sources=$program.cpp
        [ "$program" = other_headers ] && sources="$sources helper.cpp"
        # -H lists the headers read; a precompiled one that is used is marked "!".
        # shellcheck disable=SC2046,SC2086
        g++ -Wall -Wextra -Winvalid-pch -H $sources $(pkg-config --cflags --libs vantrel) \
            -o "$program" >"$program.log" 2>&1 || fail "$program did not build: $(cat "$program.log")"
        # GCC takes a precompiled header only for a file's first #include:
        # other_headers starts with the standard library's and reads ours anew.
        if [ "$program" != other_headers ] && ! grep -q '^! .*canvas/canvas.h.gch' "$program.log"; then
            fail "$program did not use canvas/canvas.h.gch: $(grep -v '^\.' "$program.log" | head -20)"
        fi
    done
    expect_warning warns.log
    ;;
*)
    echo "unknown mode $mode" >&2
    exit 2
    ;;
esac

for program in only_ours other_headers warns; do
    "$bin/$program" >"$work/$program.out" 2>&1 || fail "$program ended with status $?: $(cat "$work/$program.out")"
done
echo "precompiled ($mode): the three programs built, warned as they should and ran"
