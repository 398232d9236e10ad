#!/usr/bin/env bash
# A learner's new project, made with vantrel-new outside the checkout (with
# a plain test program beside the game, see game_with_checks.sh), turned into a
# Windows zip with ./dev windows PATH as the README says, from a checkout
# where ./dev windows has never run; the zip must hold the program, the DLLs
# it needs, its assets and a read-me, and nothing of the build or the test
# program. Its program is then run from the unpacked zip under Wine, in
# the recording mode, until its first frame is saved, and that frame is
# checked: the navy background, the yellow greeting and circle, the silver
# hint. Skipped, with the reason, where Wine cannot run.
#
#   windows_project.sh VANTREL_SOURCE_DIR WORK_DIR
set -u
source=$1 work=$2

fail() {
    echo "windows_project: FAIL: $*" >&2
    exit 1
}
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 2>/dev/null || command -v wine 2>/dev/null)
if [ "$(uname -m)" != x86_64 ] || [ -z "$wine" ] || ! "$wine" --version >/dev/null 2>&1; then
    echo "SKIPPED: Wine cannot run here (needs an x86_64 machine with wine64 installed: apt-get install wine64 wine)"
    exit 0
fi
for tool in unzip convert identify Xvfb; do
    command -v "$tool" >/dev/null 2>&1 || fail "'$tool' not found: ./dev windows installs what it needs"
done

rm -rf "$work"
mkdir -p "$work"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
project="$scratch/space-game"
bash "$source/tests/consumers/game_with_checks.sh" "$source" "$project" >"$work/new.log" 2>&1 ||
    fail "vantrel-new failed: $(cat "$work/new.log")"

# ---- The zip, made as the README says ------------------------------------------
"$source/dev" windows "$project" >"$work/dev.log" 2>&1 ||
    fail "./dev windows $project failed: $(tail -n 30 "$work/dev.log")"
zip="$project/build-windows/space-game-windows.zip"
[ -f "$zip" ] || fail "no $zip after ./dev windows (its output: $(tail -n 5 "$work/dev.log"))"
unzip -Z1 "$zip" | sort >"$work/contents.txt"
for file in space-game/space-game.exe space-game/README.txt space-game/assets/beep.wav \
    space-game/SDL2.dll space-game/SDL2_ttf.dll space-game/SDL2_mixer.dll space-game/libstdc++-6.dll \
    space-game/libgcc_s_seh-1.dll space-game/libwinpthread-1.dll; do
    grep -qx "$file" "$work/contents.txt" || fail "the zip has no $file; it holds: $(tr '\n' ' ' <"$work/contents.txt")"
done
grep -q 'checks' "$work/contents.txt" && fail "the zip holds the project's test program"
grep -Eiq '\.(o|obj|a|cmake|ninja)$|CMakeFiles|CMakeCache' "$work/contents.txt" &&
    fail "the zip holds files of the build: $(grep -Ei '\.(o|obj|a|cmake|ninja)$|CMakeFiles|CMakeCache' "$work/contents.txt")"
grep -q 'double-click space-game.exe' <(unzip -p "$zip" space-game/README.txt) ||
    fail "README.txt does not say how to start the program: $(unzip -p "$zip" space-game/README.txt)"

# ---- Its program, from the unpacked zip, under Wine ------------------------------
frame=$("$source/tools/testing/windows/check_program_zip.sh" "$zip" space-game "$source/build-windows/wine" \
    "$work/check") || fail "the program from the zip did not save its first frame under Wine"
size=$(identify -format '%wx%h' "$frame")
[ "$size" = 640x480 ] || fail "the first frame is $size, expected 640x480"
pixel() { convert "$frame" -alpha off -format "%[pixel:p{$1,$2}]" info:; }
# count COLOUR WxH+X+Y: how many pixels of exactly COLOUR the rectangle holds.
count() {
    convert "$frame" -alpha off -crop "$2" +repage -fill black +opaque "$1" -fill white -opaque "$1" \
        -format '%[fx:round(mean*w*h)]' info:
}
[ "$(pixel 600 100)" = 'srgb(0,0,128)' ] || fail "pixel (600, 100) is $(pixel 600 100), expected the navy background"
greeting=$(count 'rgb(255,255,0)' 300x35+20+15)
[ "$greeting" -gt 100 ] || fail "only $greeting yellow pixels where the greeting is written (20..320, 15..50)"
circle=$(count 'rgb(255,255,0)' 10x5+315+138)
[ "$circle" -gt 0 ] || fail "no yellow pixel at the top of the circle around (320, 140)"
hint=$(count 'rgb(192,192,192)' 400x40+20+420)
[ "$hint" -gt 100 ] || fail "only $hint silver pixels where the hint is written (20..420, 420..460)"
echo "windows_project: the zip of a new project holds its program, DLLs, assets and read-me; under Wine its first frame shows the greeting ($greeting pixels), the circle and the hint ($hint pixels)"
