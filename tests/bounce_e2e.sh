#!/usr/bin/env bash
# End-to-end run of vantrel-bounce in a virtual X display: the window
# appears, the figures move (two screenshots half a second apart differ),
# and a close request from the "window manager" ends the program promptly
# with exit status 0.
#
#   bounce_e2e.sh VANTREL_BOUNCE VANTREL_XCLOSE HEADLESS_SH OUTPUT_DIR
set -u

BOUNCE=$1
XCLOSE=$2
HEADLESS=$3
OUT=$4
TITLE="Vantrel bounce"

. "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

# Without the tools the test cannot look at the window at all; that is a
# failure, not a pass.
e2e_begin "$XCLOSE" "$HEADLESS" "$OUT" compare

"$BOUNCE" >"$OUT/bounce.log" 2>&1 &
e2e_window "$TITLE" "$OUT/bounce.log"
sleep 3
kill -0 "$pid" 2>/dev/null || fail "vantrel-bounce ended by itself: $(cat "$OUT/bounce.log")"

headless_screenshot "$window" "$OUT/bounce-1.png" || fail "could not take a screenshot"
sleep 0.5
headless_screenshot "$window" "$OUT/bounce-2.png" || fail "could not take a second screenshot"
# compare exits 0 when the images are the same, 1 when they differ.
differing=$(compare -metric AE "$OUT/bounce-1.png" "$OUT/bounce-2.png" null: 2>&1)
[ "$?" -eq 1 ] || fail "the two screenshots are identical (nothing moved) or could not be compared: $differing"
echo "bounce_e2e: $differing pixels changed in half a second"

# Give it two seconds to notice the request and end.
e2e_end close 2
grep -qx "initWorld called" "$OUT/bounce.log" || fail "expected \"initWorld called\" on standard output"
echo "bounce_e2e: window shown, figures moving, closed with status 0 (screenshot $OUT/bounce-1.png)"
