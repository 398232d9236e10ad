#!/usr/bin/env bash
# End-to-end run of vantrel-menu in a virtual X display with a window manager
# (openbox, which fullscreen needs), clicked the way a person clicks
# (xdotool): Settings; the Fullscreen check box fills the screen with the
# picture scaled, and a click where the box now shows gives the window back;
# the volume slider dragged and kept in the saved data; Play, Escape pauses,
# Menu, and Quit ends it with status 0. Then, in the recording mode, a
# virtual gamepad's Down and A choose Settings.
#
#   menu_e2e.sh VANTREL_MENU VANTREL_XCLOSE HEADLESS_SH VANTREL_RUN OUTPUT_DIR
set -uo pipefail

program=$1 xclose=$2 headless=$3 run=$4 out=$5
title="Vantrel menu"

. "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

rm -rf "$out"
e2e_begin "$xclose" "$headless" "$out" convert xdotool xwininfo openbox
openbox --sm-disable >"$out/openbox.log" 2>&1 &
wm=$!
trap 'headless_end "$pid"; kill "$wm" 2>/dev/null; wait "$wm" 2>/dev/null; headless_stop' EXIT
sleep 1

# The saved data goes to the test's own folder, not the user's.
export XDG_DATA_HOME="$out/data"
"$program" >"$out/menu.stdout" 2>"$out/menu.stderr" &
e2e_window "$title" "$out/menu.stderr"

BLACK=0,0,0
# until_pixel X Y RGB WHAT: waits up to 10 s for the window's pixel.
until_pixel() {
    local found=
    for _ in $(seq 40); do
        found=$(headless_pixel "$(e2e_shot)" "$1" "$2")
        [ "$found" = "$3" ] && return 0
        sleep 0.25
    done
    fail "$4: the pixel at $1,$2 is $found, expected $3"
}
# until_width WIDTH WHAT: waits up to 10 s for the window to be WIDTH wide.
until_width() {
    local width=
    for _ in $(seq 40); do
        width=$(xwininfo -id "$window" | awk '/Width:/ { print $2 }')
        [ "$width" = "$1" ] && return 0
        sleep 0.25
    done
    fail "$2: the window is $width pixels wide, expected $1"
}
click() {
    xdo mousemove --window "$window" "$1" "$2"
    sleep 0.2
    xdo click 1
    sleep 0.3
}

# ---- The title menu, then Settings ------------------------------------------------
until_pixel 220 190 "$BLACK" "the Play button's corner"
click 320 272
until_pixel 120 230 "$BLACK" "the Fullscreen check box's corner"
echo "menu_e2e: the settings are shown"

# ---- Fullscreen: the screen (1024 x 768) holds the picture 1.6 times as big ----
click 130 240
until_width 1024 "after ticking Fullscreen"
until_pixel 192 368 "$BLACK" "the check box's corner, scaled"
click 208 384 # the check box where it now shows
until_width 640 "after unticking Fullscreen"
echo "menu_e2e: fullscreen filled the screen, and a click on the scaled box left it"

# ---- The volume slider dragged from 0.8 to about a quarter, kept at Back --------------
xdo mousemove --window "$window" 475 182
sleep 0.2
xdo mousedown 1
for x in 450 420 390 360 354; do
    xdo mousemove --window "$window" "$x" 182
    sleep 0.05
done
sleep 0.3
xdo mouseup 1
sleep 0.3
click 320 342
until_pixel 220 190 "$BLACK" "the title menu after Back"
saved="$out/data/Vantrel/vantrel-menu/saved.txt"
volume=$(awk -F '\t' '$1 == "n volume" { print $2 }' "$saved" 2>/dev/null)
awk -v v="${volume:-x}" 'BEGIN { exit !(v + 0 > 0.2 && v + 0 < 0.3) }' ||
    fail "the saved volume is '${volume}' (in $saved), expected about 0.25"
echo "menu_e2e: the volume $volume is saved"

# ---- Play, Escape pauses, Menu, Quit ------------------------------------------------
click 320 212
sleep 0.5
xdo key Escape
until_pixel 220 260 "$BLACK" "the Menu button of the pause"
click 320 282
until_pixel 220 190 "$BLACK" "the title menu after the pause"
click 320 332
headless_wait_exit "$pid" 5
status=$?
pid=
[ "$status" -eq 0 ] || fail "exit status $status after Quit: $(cat "$out/menu.stderr")"

# ---- A gamepad: Down, then A, opens Settings ---------------------------------------
printf '%s\n' 'frame 3 pad 0 button DPAD_DOWN down' 'frame 4 pad 0 button DPAD_DOWN up' \
    'frame 5 pad 0 button A down' 'frame 6 pad 0 button A up' >"$out/pad.txt"
(cd "$out" && timeout 60 "$run" --frames 10 --save 10 --out pad-%02d.png --input pad.txt -- "$program") \
    >"$out/pad.log" 2>&1 || fail "the recorded run with a gamepad failed: $(cat "$out/pad.log")"
[ "$(headless_pixel "$out/pad-10.png" 120 230)" = "$BLACK" ] ||
    fail "after Down and A on the gamepad, no Fullscreen check box at 120,230 (see $out/pad-10.png)"
echo "menu_e2e: all checks passed"
