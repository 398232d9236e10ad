#!/usr/bin/env bash
# Builds a small program against Vantrel the way a user's project would, then
# runs it for a moment and stops it with SIGTERM, which SDL turns into the
# window's quit event: the program must end normally with status 0 (run.sh).
#
#   build_and_run.sh subdirectory VANTREL_SOURCE_DIR WORK_DIR
#   build_and_run.sh installed    VANTREL_SOURCE_DIR WORK_DIR VANTREL_BUILD_DIR
#   build_and_run.sh pkgconfig    VANTREL_SOURCE_DIR WORK_DIR VANTREL_BUILD_DIR
#   build_and_run.sh example      VANTREL_SOURCE_DIR WORK_DIR VANTREL_BUILD_DIR NAME
#
# installed: find_package against an install prefix; pkgconfig: one g++ line
# with pkg-config against that prefix; example: examples/NAME built on its
# own, as a copy of it would be, against that prefix.
set -euo pipefail
mode=$1 source=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"

prefix=$work/prefix
if [ "$mode" != subdirectory ]; then
    cmake --install "$4" --prefix "$prefix" >/dev/null
fi

# shellcheck source=run.sh
. "$here/run.sh"
run() { run_briefly "$1" "$work/run.log"; }

case "$mode" in
pkgconfig)
    export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
    flags=$(pkg-config --cflags --libs vantrel)
    echo "pkg-config --cflags --libs vantrel: $flags"
    # The paths are found from where vantrel.pc is, so they lead into this prefix.
    for variable in includedir:include/vantrel libdir:lib; do
        actual=$(readlink -f "$(pkg-config --variable="${variable%%:*}" vantrel)")
        expected=$(readlink -f "$prefix/${variable#*:}")
        if [ "$actual" != "$expected" ]; then
            echo "pkg-config's ${variable%%:*} is $actual, expected $expected" >&2
            exit 1
        fi
    done
    # Word splitting of $flags is what a shell does with $(pkg-config ...).
    # shellcheck disable=SC2086
    g++ ${CXXFLAGS:-} "$source/examples/hello/main.cpp" $flags -o "$work/hello"
    run "$work/hello"
    ;;
example)
    name=$5
    cmake -S "$source/examples/$name" -B "$work/build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_PREFIX_PATH="$prefix" >"$work/configure.log" || {
        cat "$work/configure.log"
        exit 1
    }
    cmake --build "$work/build" -j 2 >"$work/build.log" || {
        cat "$work/build.log"
        exit 1
    }
    if [ "$name" = hello ] && [ ! -f "$work/build/beep.wav" ]; then
        echo "beep.wav was not copied beside the program" >&2
        exit 1
    fi
    run "$work/build/vantrel-$name"
    ;;
subdirectory | installed)
    args=(-DVANTREL_SOURCE_DIR="$source" -DCMAKE_BUILD_TYPE=Release)
    [ "$mode" = installed ] && args+=(-DCMAKE_PREFIX_PATH="$prefix")
    cmake -S "$here/$mode" -B "$work/build" "${args[@]}" >"$work/configure.log" ||
        {
            cat "$work/configure.log"
            exit 1
        }
    cmake --build "$work/build" -j 2 >"$work/build.log" || {
        cat "$work/build.log"
        exit 1
    }
    run "$work/build/hello"
    ;;
*)
    echo "unknown mode $mode" >&2
    exit 2
    ;;
esac
