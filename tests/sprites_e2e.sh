#!/usr/bin/env bash
# End-to-end run of vantrel-sprites in a virtual X display: the window
# appears with the walker (its red shirt), the yellow star and the ground in
# their colours, the walker moves between two screenshots, and a close
# request from the "window manager" ends the program with status 0.
#
#   sprites_e2e.sh VANTREL_SPRITES VANTREL_XCLOSE HEADLESS_SH OUTPUT_DIR [SCREENSHOT]
#
# With SCREENSHOT, the first screenshot is also copied there.
set -u

SPRITES=$1
XCLOSE=$2
HEADLESS=$3
OUT=$4
KEEP=${5:-}
TITLE="Vantrel sprites"
SHIRT="rgb(220,40,40)"
STAR="rgb(255,215,0)"
GROUND="rgb(0,128,0)"

. "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

# count_colour FILE COLOUR: how many pixels of FILE are exactly COLOUR.
count_colour() {
    timeout 20 convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" \
        -format '%[fx:int(mean*w*h+0.5)]' info:
}

# left_edge FILE COLOUR: the x of the leftmost pixel of COLOUR.
left_edge() {
    timeout 20 convert "$1" -fill black +opaque "$2" -trim -format '%[fx:page.x]' info:
}

e2e_begin "$XCLOSE" "$HEADLESS" "$OUT" convert compare

# Started from another folder: the pictures are found beside the program.
(cd "$OUT" && exec "$SPRITES") >"$OUT/sprites.log" 2>&1 &
e2e_window "$TITLE" "$OUT/sprites.log"
# The window may be mapped before its first frame is drawn (on a loaded
# machine, for a while): look again until the star shows, for at most 10 s.
shown=0
for _ in $(seq 20); do
    sleep 0.5
    kill -0 "$pid" 2>/dev/null || fail "vantrel-sprites ended by itself: $(cat "$OUT/sprites.log")"
    headless_screenshot "$window" "$OUT/sprites-1.png" || fail "could not take a screenshot"
    count=$(count_colour "$OUT/sprites-1.png" "$STAR") || fail "could not count $STAR"
    if [ "$count" -ge 100 ]; then
        shown=1
        break
    fi
done
[ "$shown" -eq 1 ] || fail "no frame with the star in 10 seconds ($OUT/sprites-1.png)"
sleep 0.5
headless_screenshot "$window" "$OUT/sprites-2.png" || fail "could not take a second screenshot"

for colour in "$SHIRT" "$STAR" "$GROUND"; do
    count=$(count_colour "$OUT/sprites-1.png" "$colour") || fail "could not count $colour"
    [ "$count" -ge 100 ] || fail "only $count pixels of $colour in $OUT/sprites-1.png (expected 100 or more)"
    count=$(count_colour "$OUT/sprites-2.png" "$colour") || fail "could not count $colour"
    [ "$count" -ge 100 ] || fail "only $count pixels of $colour in $OUT/sprites-2.png (expected 100 or more)"
done
# The walker's strip of the window (above the ground, below the star and
# the gem) must change: it walks, steps and turns.
for i in 1 2; do
    timeout 20 convert "$OUT/sprites-$i.png" -crop 640x110+0+190 +repage "$OUT/walker-$i.png" ||
        fail "could not crop $OUT/sprites-$i.png"
done
# compare exits 0 when the images are the same, 1 when they differ.
differing=$(timeout 20 compare -metric AE "$OUT/walker-1.png" "$OUT/walker-2.png" null: 2>&1)
[ "$?" -eq 1 ] || fail "the walker stood still for half a second, or the strips could not be compared: $differing"
first=$(left_edge "$OUT/sprites-1.png" "$SHIRT") || fail "could not find the walker"
second=$(left_edge "$OUT/sprites-2.png" "$SHIRT") || fail "could not find the walker again"
echo "sprites_e2e: the walker's shirt went from x = $first to x = $second ($differing pixels changed)"
[ -z "$KEEP" ] || cp "$OUT/sprites-1.png" "$KEEP"

e2e_end close 5
echo "sprites_e2e: window shown, sprites drawn and moving, closed with status 0"
