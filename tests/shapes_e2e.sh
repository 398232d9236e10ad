#!/usr/bin/env bash
# End-to-end run of the shapes gallery in a virtual X display: the window
# appears, every shape family shows in its own colour where the gallery puts
# it (and leaves the insides of outlines clear), the text lands left, centred
# and right as asked, and a close request ends the program with status 0.
#
#   shapes_e2e.sh VANTREL_SHAPES VANTREL_XCLOSE HEADLESS_SH OUTPUT_DIR
set -uo pipefail

program=$1 xclose=$2 headless=$3 out=$4
title="Vantrel shapes"
failures=0

. "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
# Here a failed check does not end the test: every pixel is looked at.
fail() {
    echo "shapes_e2e: FAIL: $*" >&2
    failures=$((failures + 1))
}

e2e_begin "$xclose" "$headless" "$out" convert

"$program" >"$out/shapes.log" 2>&1 &
e2e_window "$title" "$out/shapes.log"
shot="$out/shapes.png"
pixel() { convert "$shot" -format "%[pixel:p{$1,$2}]" info:; }
# The window may be mapped before its first frame is drawn (on a loaded
# machine, for a while): look again until the filled circle shows, for at
# most 10 s.
for _ in $(seq 20); do
    sleep 0.5
    headless_screenshot "$window" "$shot" && [ "$(pixel 560 415)" = 'srgb(0,255,255)' ] && break
done
[ -s "$shot" ] || e2e_abort "no screenshot"

expect_pixel() {
    local actual
    actual=$(pixel "$1" "$2")
    [ "$actual" = "$3" ] || fail "pixel ($1, $2) is $actual, expected $3 ($4)"
}
white='srgb(255,255,255)'
# First row (shapes centred on row 135).
expect_pixel 80 135 'srgb(255,0,0)' "filled rectangle"
expect_pixel 30 95 'srgb(255,0,0)' "filled rectangle's corner"
expect_pixel 130 175 'srgb(255,0,0)' "filled rectangle's far corner"
expect_pixel 131 175 "$white" "just past the filled rectangle"
expect_pixel 190 175 'srgb(0,0,255)' "triangle's corner"
expect_pixel 240 95 'srgb(0,0,255)' "triangle's top corner"
expect_pixel 240 150 "$white" "inside the triangle outline"
expect_pixel 400 150 'srgb(0,128,0)' "filled triangle"
expect_pixel 400 95 'srgb(0,128,0)' "filled triangle's top corner"
expect_pixel 560 90 'srgb(128,0,128)' "polygon's top corner"
expect_pixel 560 135 "$white" "inside the polygon outline"
# Second row (centred on row 275).
expect_pixel 80 275 'srgb(128,128,0)' "filled polygon"
expect_pixel 175 275 'srgb(0,128,128)' "ellipse's left end"
expect_pixel 240 275 "$white" "inside the ellipse outline"
expect_pixel 400 275 'srgb(128,0,0)' "filled ellipse"
expect_pixel 464 275 'srgb(128,0,0)' "filled ellipse's right end"
expect_pixel 560 230 'srgb(0,0,128)' "arc's top"
expect_pixel 515 275 'srgb(0,0,128)' "arc's start, on the left"
expect_pixel 560 320 "$white" "below the arc (only its top half is drawn)"
# Third row (centred on row 415).
expect_pixel 60 415 'srgb(255,255,0)' "pie"
expect_pixel 120 415 "$white" "the pie's open slice"
expect_pixel 240 415 'srgb(255,0,255)' "thick line's middle"
expect_pixel 240 410 'srgb(255,0,255)' "thick line, across its width"
expect_pixel 350 415 'srgb(0,0,0)' "rectangle outline"
expect_pixel 560 415 'srgb(0,255,255)' "filled circle"

# Text: the bounding box of dark pixels in a region, as WxH+X+Y.
ink_box() {
    convert "$shot" -crop "$1" +repage -threshold 60% -negate -format '%@' info:
}
# "right" ends in column 629 (the window is 640 wide; drawTextRight(629, ...)
# puts its last coloured pixel there).
right=$(ink_box 200x50+440+470)
[[ $right =~ ^([0-9]+)x[0-9]+\+([0-9]+)\+ ]] || fail "no right-aligned text found ($right)"
[ $((440 + BASH_REMATCH[2] + BASH_REMATCH[1] - 1)) -eq 629 ] ||
    fail "right-aligned text ends in column $((440 + BASH_REMATCH[2] + BASH_REMATCH[1] - 1)), expected 629"
# The centred UTF-8 line: its ink is centred on column 320, to a pixel.
centred=$(convert "$shot" -crop 640x45+0+508 +repage -fill black -fuzz 30% +opaque 'rgb(0,0,255)' \
    -fill white -opaque black -negate -format '%@' info:)
[[ $centred =~ ^([0-9]+)x[0-9]+\+([0-9]+)\+ ]] || fail "no centred text found ($centred)"
middle=$((2 * BASH_REMATCH[2] + BASH_REMATCH[1]))
[ "$middle" -ge 638 ] && [ "$middle" -le 642 ] ||
    fail "centred text spans $centred: its middle is not column 320"
# Drawn as UTF-8, "Grüße, café" is narrower than its bytes read as Latin-1
# would be ("GrÃ¼ÃŸe, cafÃ©", about 270 pixels).
[ "${BASH_REMATCH[1]}" -lt 230 ] || fail "centred text is ${BASH_REMATCH[1]} pixels wide: mojibake?"

e2e_end close 5
[ "$failures" -eq 0 ] && echo "shapes_e2e: every family and text placement checked (screenshot $shot)"
exit $((failures > 0))
