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

fail() {
    echo "sprites_e2e: FAIL: $*" >&2
    exit 1
}

for tool in Xvfb import convert; do
    command -v "$tool" >/dev/null 2>&1 ||
        fail "'$tool' not found: install xvfb and imagemagick (./dev test does) to run this test"
done

# count_colour FILE COLOUR: how many pixels of FILE are exactly COLOUR.
count_colour() {
    timeout 20 convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" \
        -format '%[fx:int(mean*w*h+0.5)]' info:
}

# left_edge FILE COLOUR: the x of the leftmost pixel of COLOUR.
left_edge() {
    timeout 20 convert "$1" -fill black +opaque "$2" -trim -format '%[fx:page.x]' info:
}

# shellcheck source=../tools/headless.sh
. "$HEADLESS"
mkdir -p "$OUT"
SPRITES_PID=
cleanup() {
    headless_end "$SPRITES_PID"
    headless_stop
}
trap cleanup EXIT
headless_start || fail "could not start Xvfb"

# Started from another folder: the pictures are found beside the program.
(cd "$OUT" && exec "$SPRITES") >"$OUT/sprites.log" 2>&1 &
SPRITES_PID=$!

if ! window=$(timeout 20 "$XCLOSE" wait "$TITLE" 10); then
    cat "$OUT/sprites.log" >&2
    fail "no window titled \"$TITLE\" appeared within 10 seconds"
fi
sleep 2
kill -0 "$SPRITES_PID" 2>/dev/null || fail "vantrel-sprites ended by itself: $(cat "$OUT/sprites.log")"

headless_screenshot "$window" "$OUT/sprites-1.png" || fail "could not take a screenshot"
sleep 0.5
headless_screenshot "$window" "$OUT/sprites-2.png" || fail "could not take a second screenshot"

for colour in "$SHIRT" "$STAR" "$GROUND"; do
    count=$(count_colour "$OUT/sprites-1.png" "$colour") || fail "could not count $colour"
    [ "$count" -ge 100 ] || fail "only $count pixels of $colour in $OUT/sprites-1.png (expected 100 or more)"
done
first=$(left_edge "$OUT/sprites-1.png" "$SHIRT") || fail "could not find the walker"
second=$(left_edge "$OUT/sprites-2.png" "$SHIRT") || fail "could not find the walker again"
[ "$first" != "$second" ] || fail "the walker stood still at x = $first for half a second"
echo "sprites_e2e: the walker's shirt moved from x = $first to x = $second"
[ -z "$KEEP" ] || cp "$OUT/sprites-1.png" "$KEEP"

timeout 10 "$XCLOSE" close "$TITLE" 5 || fail "could not send the close request"
headless_wait_exit "$SPRITES_PID" 2
status=$?
[ "$status" -eq 124 ] && fail "vantrel-sprites still running 2 seconds after the close request"
SPRITES_PID=
[ "$status" -eq 0 ] || fail "vantrel-sprites exited with status $status: $(cat "$OUT/sprites.log")"
echo "sprites_e2e: window shown, sprites drawn and moving, closed with status 0"
