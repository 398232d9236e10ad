#!/usr/bin/env bash
# Runs one case of the renderer tests (the pixels, the choice of renderer) in a
# virtual X display, where Mesa gives SDL an OpenGL renderer (llvmpipe). Without
# Xvfb there is no OpenGL renderer to compare: the case is skipped, saying so.
#
#   renderer_pixels.sh PROGRAM HEADLESS_SH GTEST_FILTER
set -u
program=$1 headless=$2 filter=$3

if ! command -v Xvfb >/dev/null 2>&1; then
    echo "SKIPPED: Xvfb not found (install xvfb; ./dev test does), so no OpenGL renderer to compare"
    exit 0
fi
# shellcheck source=../tools/testing/headless.sh
. "$headless"
trap headless_stop EXIT
headless_start || {
    echo "renderer_pixels: could not start the virtual X display (Xvfb)" >&2
    exit 1
}
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$program" --gtest_filter="$filter"
