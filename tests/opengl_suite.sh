#!/usr/bin/env bash
# Runs every case of the given GoogleTest programs, each in its own process
# (the canvas is set up once per process), with SDL's OpenGL renderer in a
# virtual X display. SDL_RENDER_DRIVER=opengl makes set-up fail where there
# is no OpenGL, so a pass means the cases ran on it.
#
#   opengl_suite.sh HEADLESS_SH PROGRAM...
set -uo pipefail
headless=$1
shift
command -v Xvfb >/dev/null 2>&1 || { echo "opengl_suite: Xvfb is not installed" >&2; exit 1; }
# shellcheck source=../tools/testing/headless.sh
. "$headless"
log=$(mktemp)
trap 'headless_stop; rm -f "$log"' EXIT
headless_start || { echo "opengl_suite: could not start Xvfb" >&2; exit 1; }
export SDL_VIDEODRIVER=x11 SDL_RENDER_DRIVER=opengl SDL_AUDIODRIVER=dummy
passed=0 failed=0
for program in "$@"; do
    cases=$("$program" --gtest_list_tests | awk '/^[^ ]/ { suite = $1 } /^  / { print suite $1 }')
    for name in $cases; do
        if timeout 60 "$program" --gtest_filter="$name" >"$log" 2>&1; then
            passed=$((passed + 1))
        else
            failed=$((failed + 1))
            echo "FAILED: $(basename "$program") $name" >&2
            cat "$log" >&2
        fi
    done
done
echo "opengl_suite: $passed passed, $failed failed"
[ "$passed" -gt 0 ] && [ "$failed" -eq 0 ]
