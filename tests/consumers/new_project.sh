#!/usr/bin/env bash
# A learner's first project, made from this checkout with vantrel-new (what
# ./dev new runs) in a scratch folder outside it, built without any setting
# (no Vantrel is installed, so it builds with the checkout: with the library
# the checkout's build/ has built, compiling only its own main.cpp), then run in a
# virtual X display from another folder: the window appears with the
# program's name as its title, a key press plays assets/beep.wav (SDL's
# "disk" audio driver writes what is played to a file), and a close request
# ends it with status 0. Also: vantrel-new refuses a folder that is not
# empty, or one inside the checkout.
#
#   new_project.sh VANTREL_SOURCE_DIR WORK_DIR VANTREL_XCLOSE HEADLESS_SH [VANTREL_BUILD_DIR]
set -u
source=$1 work=$2 xclose=$3 headless=$4 built=${5:-}

fail() {
    echo "new_project: FAIL: $*" >&2
    exit 1
}
for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null 2>&1 ||
        fail "'$tool' not found: install xvfb, xdotool and imagemagick (./dev test does) to run this test"
done

# shellcheck source=../../tools/testing/headless.sh
. "$headless"
rm -rf "$work"
mkdir -p "$work"
# The project goes outside the checkout, as vantrel-new wants; logs stay in WORK_DIR.
scratch=$(mktemp -d)
pid=
cleanup() {
    headless_end "$pid"
    headless_stop
    rm -rf "$scratch"
}
trap cleanup EXIT
project="$scratch/my first game"

# ---- Making the project ------------------------------------------------------
"$source/tools/installed/vantrel-new" "$project" >"$work/new.log" 2>&1 ||
    fail "vantrel-new failed: $(cat "$work/new.log")"
for file in CMakeLists.txt main.cpp README.md .gitignore assets/beep.wav; do
    [ -f "$project/$file" ] || fail "the new project has no $file"
done
grep -q '@' "$project/main.cpp" "$project/CMakeLists.txt" "$project/README.md" &&
    fail "a placeholder was left in the new project: $(grep -n '@' "$project/main.cpp" "$project/CMakeLists.txt" "$project/README.md")"
grep -qx 'build/' "$project/.gitignore" || fail ".gitignore does not leave out build/"
grep -q 'my_first_game' "$project/README.md" || fail "README.md does not name the program my_first_game"

"$source/tools/installed/vantrel-new" "$project" >"$work/again.log" 2>&1 &&
    fail "vantrel-new made a project in a folder that is not empty"
grep -q "is not empty" "$work/again.log" || fail "no reason given for refusing a full folder: $(cat "$work/again.log")"
"$source/tools/installed/vantrel-new" "$source/examples/not-here" >"$work/inside.log" 2>&1 &&
    fail "vantrel-new made a project inside the checkout"
grep -q "inside the Vantrel checkout" "$work/inside.log" || fail "no reason given: $(cat "$work/inside.log")"
[ -e "$source/examples/not-here" ] && fail "vantrel-new left the folder it refused behind"

# ---- Building it with the checkout -------------------------------------------
# As on a machine where Vantrel is not installed: find_package must not find
# one, so the project falls back to the checkout it was made from.
(cd "$project" && cmake -B build -DCMAKE_BUILD_TYPE=Release -DCMAKE_DISABLE_FIND_PACKAGE_vantrel=ON) \
    >"$work/configure.log" 2>&1 ||
    fail "configuring the new project failed: $(cat "$work/configure.log")"
cmake --build "$project/build" -j 2 >"$work/build.log" 2>&1 ||
    fail "building the new project failed: $(cat "$work/build.log")"
program="$project/build/my_first_game"
[ -x "$program" ] || fail "no program $program after the build"
grep -q 'warning:' "$work/build.log" && fail "the new project builds with warnings: $(grep -A3 'warning:' "$work/build.log")"
[ -f "$project/build/assets/beep.wav" ] || fail "assets/ was not copied beside the program"
# Built from the checkout's build/ (what ./dev new builds, and what this test
# runs in under ./dev test), the project compiles its own file and no more,
# and vantrel-run is the checkout's; otherwise the project built both.
run_tool="$project/build/vantrel/tools/vantrel-run"
if [ "$built" = "$source/build" ]; then
    # Its own file, and the precompiled canvas.h made for it.
    compiled=$(grep -o 'Building CXX object [^ ]*' "$work/build.log" | grep -v '/cmake_pch\.hxx\.gch$')
    [ "$compiled" = "Building CXX object CMakeFiles/my_first_game.dir/main.cpp.o" ] ||
        fail "the first build compiled more than the project's main.cpp: $compiled"
    run_tool="$built/tools/vantrel-run"
fi
# vantrel-run records the program.
(cd "$work" && timeout 30 "$run_tool" --frames 5 --save 5 \
    --out recorded-%d.png -- "$program") >"$work/record.log" 2>&1 ||
    fail "vantrel-run ($run_tool) could not record the program: $(cat "$work/record.log")"
[ -f "$work/recorded-5.png" ] || fail "vantrel-run saved no frame 5: $(cat "$work/record.log")"

# ---- Running it --------------------------------------------------------------
headless_start || fail "could not start Xvfb"

audio="$work/audio.raw"
(cd / && SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio" \
    exec "$program") >"$work/run.log" 2>&1 &
pid=$!
window=$(timeout 20 "$xclose" wait my_first_game 10) ||
    fail "no window titled my_first_game within 10 s: $(cat "$work/run.log")"

# has_sound: true when the audio written so far holds a sample that is not 0.
has_sound() { [ -s "$audio" ] && [ -n "$(tr -d '\0' <"$audio" | head -c 1)" ]; }
sleep 1
[ -s "$audio" ] || fail "the program wrote no audio at all (the disk driver's file is empty)"
has_sound && fail "sound was played before any key was pressed"

# The window sits at (100, 100): the red disc follows the mouse to (200, 200).
timeout 10 xdotool mousemove 300 300 || fail "xdotool could not move the mouse into the window"
sleep 0.5
headless_screenshot "$window" "$work/window.png" || fail "could not take a screenshot"
pixel() { convert "$work/window.png" -format "%[pixel:p{$1,$2}]" info:; }
[ "$(pixel 200 200)" = 'srgb(255,0,0)' ] || fail "pixel (200, 200) is $(pixel 200 200), expected the red disc under the mouse"
[ "$(pixel 600 100)" = 'srgb(0,0,128)' ] || fail "pixel (600, 100) is $(pixel 600 100), expected the navy background"
timeout 10 xdotool key space || fail "xdotool could not press a key"
tries=0
until has_sound; do
    [ $tries -lt 50 ] || fail "no sound within 5 s of the key press: $(cat "$work/run.log")"
    sleep 0.1
    tries=$((tries + 1))
done

timeout 10 "$xclose" close my_first_game 5 || fail "could not send the close request"
headless_wait_exit "$pid" 2
status=$?
[ $status -eq 124 ] && fail "still running 2 s after the close request"
pid=
[ $status -eq 0 ] || fail "exit status $status, expected 0: $(cat "$work/run.log")"
echo "new_project: made, built with the checkout, played its sound on a key press, closed with status 0"
