#!/usr/bin/env bash
# Unpacks the Windows zip, runs its demo under Wine in a virtual X display
# and checks that the window shows the welcome scene: grey background, the
# black diagonals, the aqua disc and the blue welcome line. Every wait is
# bounded; Wine and Xvfb are ended on every path.
#
#   check_zip_demo.sh ZIP WINEPREFIX OUTPUT_DIR
set -uo pipefail
zip=$1 prefix=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

rm -rf "$out"
mkdir -p "$out"
unzip -q "$zip" -d "$out/unpacked" || { echo "FAIL: cannot unpack $zip" >&2; exit 1; }
demo=$(find "$out/unpacked" -name vantrel-demo.exe | head -n 1)
[ -n "$demo" ] || { echo "FAIL: the zip has no vantrel-demo.exe" >&2; exit 1; }

# shellcheck source=../headless.sh
. "$here/../headless.sh"
headless_start || exit 1
export WINEPREFIX=$prefix WINEDEBUG=-all
pid=
finish() {
    headless_end "$pid"
    wineserver -k 2>/dev/null
    timeout 20 wineserver -w 2>/dev/null
    headless_stop
}
trap finish EXIT

# From the folder the teacher unpacked, without WINEPATH: the DLLs beside it.
(cd "$(dirname "$demo")" && SDL_AUDIODRIVER=dummy exec "$here/wine-run.sh" vantrel-demo.exe) \
    >"$out/demo.stdout" 2>"$out/demo.stderr" </dev/null &
pid=$!

window=
for _ in $(seq 1 60); do
    window=$(timeout 5 xdotool search --name '^Vantrel$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
done
if [ -z "$window" ]; then
    echo "FAIL: no window titled Vantrel within 30 s; the demo's output:" >&2
    cat "$out/demo.stdout" "$out/demo.stderr" >&2
    exit 1
fi
# The first frames can take a while under Wine on a loaded machine: the
# picture is taken again until the grey background shows (at most 20 s).
for _ in $(seq 1 20); do
    sleep 1
    headless_screenshot "$window" "$out/demo.png" || { echo "FAIL: no screenshot" >&2; exit 1; }
    [ "$(convert "$out/demo.png" -format '%[pixel:p{600,320}]' info:)" = 'srgb(128,128,128)' ] && break
done

size=$(identify -format '%wx%h' "$out/demo.png")
[ "$size" = 640x640 ] || fail "the window is $size, expected 640x640"
pixel() { convert "$out/demo.png" -format "%[pixel:p{$1,$2}]" info:; }
expect_pixel() {
    local actual
    actual=$(pixel "$1" "$2")
    [ "$actual" = "$3" ] || fail "pixel ($1, $2) is $actual, expected $3 ($4)"
}
expect_pixel 600 320 'srgb(128,128,128)' "grey background"
expect_pixel 320 320 'srgb(0,255,255)' "aqua disc over the diagonals' crossing"
expect_pixel 100 100 'srgb(0,0,0)' "black diagonal from the top-left corner"
expect_pixel 539 100 'srgb(0,0,0)' "black diagonal from the top-right corner"
blue_in() {
    convert "$out/demo.png" -crop "$1" +repage -fuzz 10% -fill white -opaque 'rgb(0,0,255)' \
        -fill black +opaque white -format '%[fx:round(mean*w*h)]' info:
}
[ "$(blue_in 340x45+150+50)" -gt 200 ] || fail "no blue welcome text at (150, 50)"
[ "$(blue_in 640x50+0+0)" -eq 0 ] || fail "blue pixels above the welcome text's box"
kill -0 "$pid" 2>/dev/null || fail "the demo ended by itself: $(cat "$out/demo.stderr")"

[ "$failures" -eq 0 ] && echo "the zip's demo shows the welcome scene under Wine (screenshot: $out/demo.png)"
exit $((failures > 0))
