#!/usr/bin/env bash
# Builds a small program against Vantrel the way a user's project would, then
# runs it for a moment and stops it with SIGTERM, which SDL turns into the
# window's quit event: the program must end normally with status 0.
#
#   build_and_run.sh subdirectory VANTREL_SOURCE_DIR WORK_DIR
#   build_and_run.sh installed    VANTREL_SOURCE_DIR WORK_DIR VANTREL_BUILD_DIR
set -euo pipefail
mode=$1 source=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"

args=(-DVANTREL_SOURCE_DIR="$source" -DCMAKE_BUILD_TYPE=Release)
if [ "$mode" = installed ]; then
    cmake --install "$4" --prefix "$work/prefix" >/dev/null
    args+=(-DCMAKE_PREFIX_PATH="$work/prefix")
fi
cmake -S "$here/$mode" -B "$work/build" "${args[@]}" >"$work/configure.log" ||
    { cat "$work/configure.log"; exit 1; }
cmake --build "$work/build" -j 2 >"$work/build.log" || { cat "$work/build.log"; exit 1; }

status=0
timeout -s TERM --preserve-status 2 "$work/build/hello" || status=$?
echo "hello ended with status $status"
exit "$status"
