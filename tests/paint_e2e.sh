#!/usr/bin/env bash
# End-to-end run of vantrel-paint in a virtual X display, painted the way a
# person paints (xdotool): a black stroke dragged across the paper, which is
# still there many frames later; key 2 for red and the wheel for a wider
# brush, and a second stroke; S saves painting.png (the painting alone, in
# the folder the program was started from); Escape ends it with status 0 and
# a line that counts two strokes and one save.
#
#   paint_e2e.sh VANTREL_PAINT VANTREL_XCLOSE HEADLESS_SH OUTPUT_DIR
set -uo pipefail

program=$1 xclose=$2 headless=$3 out=$4
title="Vantrel paint"

. "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

rm -rf "$out"
e2e_begin "$xclose" "$headless" "$out" convert xdotool
mkdir -p "$out/run"

# Started in its own folder, where S saves.
(cd "$out/run" && exec "$program") >"$out/paint.stdout" 2>"$out/paint.stderr" &
e2e_window "$title" "$out/paint.stderr"

shot() { e2e_shot; }
# box FILE COLOUR [CROP]: "W H X Y" of the pixels of exactly that colour
# (X and Y within the crop, by default the whole window), or "0 0 0 0".
box() { headless_box "$1" "$2" "${3:-640x480+0+0}"; }
pixel() { headless_pixel "$@"; }
BLACK='rgb(0,0,0)' RED='rgb(255,0,0)'
PAPER_CROP=640x440+0+40 # below the tool bar

# The window may be mapped before its first frame: wait for white paper.
paper=
for _ in $(seq 20); do
    paper=$(pixel "$(shot)" 320 300)
    [ "$paper" = 255,255,255 ] && break
    sleep 0.5
done
[ "$paper" = 255,255,255 ] || fail "no white paper within 10 s (found $paper)"

xdo mousemove --window "$window" 320 240
xdo windowfocus "$window"
sleep 0.5

# drag X1 Y X2: the left button held from (X1, Y) to (X2, Y), in steps.
drag() {
    local x=$1 y=$2 to=$3
    xdo mousemove --window "$window" "$x" "$y"
    sleep 0.2
    xdo mousedown 1
    sleep 0.2
    while [ "$x" -lt "$to" ]; do
        x=$((x + 20))
        [ "$x" -gt "$to" ] && x=$to
        xdo mousemove --window "$window" "$x" "$y"
        sleep 0.05
    done
    sleep 0.3
    xdo mouseup 1
    sleep 0.3
}

# ---- A black stroke, 7 pixels wide, from (100, 200) to (300, 200) ----------
drag 100 200 300
xdo mousemove --window "$window" 500 420 # the brush outline away from the stroke
sleep 0.4
read -r w h x y < <(box "$(shot)" "$BLACK" "$PAPER_CROP")
y=$((y + 40))
[ "$w $h $x $y" = "207 7 97 197" ] ||
    fail "the black stroke covers ${w}x${h} at ${x},${y}; expected 207x7 at 97,197"
first="$w $h $x $y"
echo "paint_e2e: the stroke covers ${w}x${h} at ${x},${y}"

# ---- It stays: two seconds (about 120 frames) later, still there -------------
sleep 2
read -r w h x y < <(box "$(shot)" "$BLACK" "$PAPER_CROP")
y=$((y + 40))
[ "$w $h $x $y" = "$first" ] || fail "the stroke changed after two seconds: $w $h $x $y, was $first"

# ---- Key 2 for red, the wheel 4 steps for a 15-pixel brush, a second stroke --
xdo key 2
sleep 0.2
xdo click --repeat 4 --delay 60 4
sleep 0.3
drag 100 320 300
xdo mousemove --window "$window" 500 420
sleep 0.4
screen=$(shot)
read -r w h x y < <(box "$screen" "$RED" "$PAPER_CROP")
y=$((y + 40))
[ "$w $h $x $y" = "215 15 93 313" ] ||
    fail "the red stroke covers ${w}x${h} at ${x},${y}; expected 215x15 at 93,313"
read -r w2 h2 x2 y2 < <(box "$screen" "$BLACK" "$PAPER_CROP")
[ "$w2 $h2 $x2 $((y2 + 40))" = "$first" ] || fail "the black stroke changed under the red one"
echo "paint_e2e: a red stroke, ${h} pixels wide, beside the black one"
alive

# ---- S saves the painting alone (no tool bar) as painting.png ----------------
xdo key s
for _ in $(seq 30); do
    [ -s "$out/run/painting.png" ] && break
    sleep 0.2
done
saved="$out/run/painting.png"
[ -s "$saved" ] || fail "no painting.png in the program's folder 6 s after S"
sleep 0.3
size=$(convert "$saved" -format '%wx%h' info:)
[ "$size" = 640x480 ] || fail "painting.png is $size, expected 640x480"
[ "$(pixel "$saved" 200 200)" = 0,0,0 ] || fail "painting.png at 200,200 is $(pixel "$saved" 200 200), expected the black stroke"
[ "$(pixel "$saved" 200 320)" = 255,0,0 ] || fail "painting.png at 200,320 is $(pixel "$saved" 200 320), expected the red stroke"
[ "$(pixel "$saved" 20 20)" = 255,255,255 ] || fail "painting.png at 20,20 is $(pixel "$saved" 20 20): the tool bar went into the painting"
echo "paint_e2e: painting.png holds both strokes and no tool bar"

# ---- Escape ends it ------------------------------------------------------------
e2e_end Escape 3
summary=$(tail -n 1 "$out/paint.stdout")
[ "$summary" = "vantrel-paint: 2 strokes, 1 saves" ] || fail "unexpected last line: $summary"
echo "paint_e2e: all checks passed ($summary)"
