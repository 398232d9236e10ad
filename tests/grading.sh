#!/usr/bin/env bash
# The grading walk-through in docs/grading.md, run as written: the reference
# and the four submissions against an install prefix, graded on frames 20
# and 40 with the scripted SPACE. Each submission must get its verdict.
#
#   grading.sh VANTREL_SOURCE_DIR VANTREL_BUILD_DIR WORK_DIR
set -u
source=$1 build=$2 work=$3
rm -rf "$work"
mkdir -p "$work"
cmake --install "$build" --prefix "$work/prefix" >/dev/null || exit 1
export PKG_CONFIG_PATH=$work/prefix/lib/pkgconfig
export VANTREL_RUN=$work/prefix/bin/vantrel-run
cd "$work" || exit 1
timeout 600 bash "$source/docs/grading/grade.sh" --frames 20,40 \
    --input "$source/docs/grading/input.txt" "$source/docs/grading/reference.cpp" \
    "$source/docs/grading/submissions" >table.md 2>grade.err
status=$?
cat table.md
failures=0
expect() {
    grep -qE "^\| $1 \| $2" table.md || {
        echo "FAIL: expected the row for $1 to read \"$2\"" >&2
        failures=$((failures + 1))
    }
}
[ $status -eq 1 ] || { echo "FAIL: grade.sh exited $status, expected 1 (some fail): $(cat grade.err)" >&2; failures=$((failures + 1)); }
expect ada 'yes \| yes \| 2/2 \| PASS'
expect ben 'yes \| yes \| 1/2 \| FAIL: up to [0-9]+ pixels differ'
expect cleo 'no \| - \| - \| FAIL: does not build'
expect dan 'yes \| no \| - \| FAIL: ended with status 134'
grep -q 'Sorry, you can only use an initializeWorld function once!' grading-results/dan/run.log ||
    { echo "FAIL: dan's run log lacks the program's message" >&2; failures=$((failures + 1)); }
[ -f grading-results/ben/difference-40.png ] ||
    { echo "FAIL: no difference image for ben's frame 40" >&2; failures=$((failures + 1)); }
[ $failures -eq 0 ] && echo "grading walk-through: every verdict as documented"
exit $((failures > 0))
