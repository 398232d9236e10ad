#!/usr/bin/env bash
# Unpacks the zip of a learner's program (./dev windows PATH) and runs the
# program from it under Wine, in a virtual X display, in the recording mode
# (SDL's dummy video and sound drivers, the software renderer) until it has
# saved its first frame; it is started from another folder, so it must find
# its DLLs and assets beside itself. Prints the frame's path. Every wait is
# bounded; Wine and Xvfb are ended on every path.
#
#   check_program_zip.sh ZIP NAME WINEPREFIX OUTPUT_DIR
set -uo pipefail
zip=$1 name=$2 prefix=$3 out=$4
here=$(cd "$(dirname "$0")" && pwd)
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

rm -rf "$out"
mkdir -p "$out/run"
unzip -q "$zip" -d "$out/unpacked" || fail "cannot unpack $zip"
program="$out/unpacked/$name/$name.exe"
[ -f "$program" ] || fail "the zip has no $name/$name.exe"

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

(cd "$out/run" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software \
    VANTREL_RECORD=1 VANTREL_FRAMES=30 VANTREL_SAVE_FRAMES=1 exec "$here/wine-run.sh" "$program") \
    >"$out/program.stdout" 2>"$out/program.stderr" </dev/null &
pid=$!

# Starting a Windows program under Wine takes a while on a loaded machine.
frame="$out/run/frame-0001.png"
for _ in $(seq 1 240); do
    [ -s "$frame" ] && identify "$frame" >/dev/null 2>&1 && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
done
if ! { [ -s "$frame" ] && identify "$frame" >/dev/null 2>&1; }; then
    kill -0 "$pid" 2>/dev/null && fail "no first frame within 120 s; the program's output: $(cat "$out/program.stdout" "$out/program.stderr")"
    wait "$pid"
    status=$?
    hint=
    [ $status -eq 53 ] && hint=" (under Wine, status 53 means a DLL it needs is missing)"
    fail "the program ended (status $status$hint) before its first frame; its output: $(cat "$out/program.stdout" "$out/program.stderr")"
fi
echo "$frame"
