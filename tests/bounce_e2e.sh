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

fail() {
    echo "bounce_e2e: FAIL: $*" >&2
    exit 1
}

# Without these the test cannot look at the window at all; that is a
# failure, not a pass.
for tool in Xvfb import compare; do
    command -v "$tool" >/dev/null 2>&1 ||
        fail "'$tool' not found: install xvfb and imagemagick (./dev test does) to run this test"
done

# shellcheck source=../tools/headless.sh
. "$HEADLESS"
mkdir -p "$OUT"
BOUNCE_PID=
cleanup() {
    headless_end "$BOUNCE_PID"
    headless_stop
}
trap cleanup EXIT
headless_start || fail "could not start Xvfb"

"$BOUNCE" >"$OUT/bounce.log" 2>&1 &
BOUNCE_PID=$!

if ! window=$(timeout 20 "$XCLOSE" wait "$TITLE" 10); then
    cat "$OUT/bounce.log" >&2
    fail "no window titled \"$TITLE\" appeared within 10 seconds"
fi
sleep 3
kill -0 "$BOUNCE_PID" 2>/dev/null || fail "vantrel-bounce ended by itself: $(cat "$OUT/bounce.log")"

headless_screenshot "$window" "$OUT/bounce-1.png" || fail "could not take a screenshot"
sleep 0.5
headless_screenshot "$window" "$OUT/bounce-2.png" || fail "could not take a second screenshot"
# compare exits 0 when the images are the same, 1 when they differ.
differing=$(compare -metric AE "$OUT/bounce-1.png" "$OUT/bounce-2.png" null: 2>&1)
[ "$?" -eq 1 ] || fail "the two screenshots are identical (nothing moved) or could not be compared: $differing"
echo "bounce_e2e: $differing pixels changed in half a second"

timeout 10 "$XCLOSE" close "$TITLE" 5 || fail "could not send the close request"
# Give it two seconds to notice the request and end.
headless_wait_exit "$BOUNCE_PID" 2
status=$?
[ "$status" -eq 124 ] && fail "vantrel-bounce still running 2 seconds after the close request"
BOUNCE_PID=
[ "$status" -eq 0 ] || fail "vantrel-bounce exited with status $status: $(cat "$OUT/bounce.log")"
grep -qx "initWorld called" "$OUT/bounce.log" || fail "expected \"initWorld called\" on standard output"
echo "bounce_e2e: window shown, figures moving, closed with status 0 (screenshot $OUT/bounce-1.png)"
