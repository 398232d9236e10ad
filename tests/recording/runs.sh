#!/usr/bin/env bash
# Whole programs run through vantrel-run: the fixed clock gives the same
# frames twice, the frame limit and a scripted close both end the program
# through its own quit handling with status 0, scripted input arrives in the
# frame it names, and every bad setting stops the run before its first frame
# with a message and no frame files.
#
#   runs.sh VANTREL_RUN COUNTER BOUNCE INPUT_EXAMPLE WORK_DIR
set -u
run=$1 counter=$2 bounce=$3 input_example=$4 work=$5
. "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
fresh_folder "$work"

# ---- The same frames twice ----------------------------------------------------
for take in 1 2; do
    mkdir -p "bounce-$take"
    timeout 60 "$run" --frames 90 --save every:15 --out "bounce-$take/f-%03d.png" -- "$bounce" \
        >/dev/null 2>"bounce-$take.err" || fail "bounce run $take: status $?: $(cat "bounce-$take.err")"
done
saved=$(ls bounce-1 | wc -l)
[ "$saved" -eq 6 ] || fail "expected 6 saved frames (every 15th of 90), found $saved: $(ls bounce-1)"
for file in bounce-1/*.png; do
    cmp -s "$file" "bounce-2/$(basename "$file")" || fail "$(basename "$file") differs between two runs"
done
cmp -s bounce-1/f-015.png bounce-1/f-090.png && fail "frames 15 and 90 are the same: nothing moved"

# ---- The frame limit and a scripted close --------------------------------------
timeout 30 "$run" --frames 25 -- "$counter" >limit.out 2>limit.err
status=$?
[ $status -eq 0 ] || fail "frame limit: status $status: $(cat limit.err)"
grep -qx "frame 25: quit handled" limit.out || fail "frame limit: no quit in frame 25: $(cat limit.out)"
grep -qx "frames: 25" limit.out || fail "frame limit: not exactly 25 frames: $(tail -1 limit.out)"

cat >script.txt <<'SCRIPT'
# comments and blank lines are allowed

frame 3 key down LEFT
frame 4 key up left      # key names are not case-sensitive
frame 5 mouse move 40 30
frame 6 mouse click right
frame 7 key down a
frame 9 close
SCRIPT
timeout 30 "$run" --frames 100 --input script.txt --save 5 --out mouse-%d.png -- "$counter" \
    >script.out 2>script.err
status=$?
[ $status -eq 0 ] || fail "scripted close: status $status: $(cat script.err)"
expected='frame 3: key Left down
frame 4: key Left up
frame 5: mouse at 40 30
frame 6: button 3 down at 40 30
frame 6: button 3 up at 40 30
frame 7: key A down
frame 9: quit handled
frames: 9'
[ "$(grep -v '^initWorld called$' script.out)" = "$expected" ] ||
    fail "scripted input: expected
$expected
got
$(cat script.out)"
# The square the program draws at the mouse position, in the saved frame 5.
if [ -f mouse-5.png ]; then
    pixel=$(convert mouse-5.png -alpha off -format '%[pixel:p{41,31}]' info:)
    [ "$pixel" = "srgb(255,255,255)" ] || [ "$pixel" = "white" ] ||
        fail "frame 5: pixel (41, 31) is $pixel, expected the white square at the mouse"
else
    fail "frame 5 was not saved as mouse-5.png"
fi

# ---- Typed text and held keys ---------------------------------------------------
# A text line types the rest of its line exactly, # and spaces included, in
# as many events as SDL's 32-byte text events need, whole characters each;
# a repeat counts as typed but not as pressed.
printf '%s\n' 'frame 2 text José' \
    'frame 3 text  C# is not C++, ¿verdad? Ça va, Øyvind, 東京 … 🙂 ' \
    'frame 4 key down BACKSPACE' 'frame 5 key repeat BACKSPACE' 'frame 5 key repeat BACKSPACE' \
    'frame 6 key up BACKSPACE' 'frame 7 close' >typing.txt
timeout 30 "$run" --input typing.txt -- "$counter" >typing.out 2>typing.err
status=$?
[ $status -eq 0 ] || fail "typing: status $status: $(cat typing.err)"
expected='frame 2: typed "José"
frame 3: typed " C# is not C++, ¿verdad? Ça va, Øyvind, 東京 … 🙂 "
frame 4: key Backspace down
frame 4: Backspace typed, pressed 1
frame 5: key Backspace repeat
frame 5: key Backspace repeat
frame 5: Backspace typed, pressed 0
frame 6: key Backspace up
frame 7: quit handled
frames: 7'
[ "$(grep -v '^initWorld called$' typing.out)" = "$expected" ] ||
    fail "typing: expected
$expected
got
$(cat typing.out)"

# ---- A scripted key hold moves the input example's paddle exactly --------------
# Left is held for frames 10 to 39: 30 frames of exactly 1/60 s at 400 pixels
# a second, 200 pixels in all, less what the program's own double arithmetic
# and its truncation to whole pixels make of it (worked out the same way
# here). The paddle's left end is the first yellow pixel in its middle row
# (y 446); it starts centred at 320, 120 pixels wide.
printf 'frame 10 key down LEFT\nframe 40 key up LEFT\n' >hold.txt
timeout 60 "$run" --frames 45 --save 9,45 --out hold-%d.png --input hold.txt -- "$input_example" \
    >hold.out 2>hold.err || fail "input example: status $?: $(cat hold.err)"
paddle_left() {
    convert "$1" -alpha off -crop 640x1+0+446 +repage txt:- 2>/dev/null |
        awk -F'[,:]' '/#FFFF00/ { print $1; exit }'
}
before=$(paddle_left hold-9.png)
after=$(paddle_left hold-45.png)
if [ -z "$before" ] || [ -z "$after" ]; then
    fail "input example: no paddle found in row 446 (before: '$before', after: '$after')"
elif [ "$before" -ne 260 ] ||
    [ "$after" -ne "$(awk 'BEGIN { x = 320; for (i = 0; i < 30; i++) x -= 400 * (1 / 60); print int(x - 60) }')" ]; then
    fail "input example: the paddle's left end went from $before to $after, expected 260 to $(awk 'BEGIN { x = 320; for (i = 0; i < 30; i++) x -= 400 * (1 / 60); print int(x - 60) }')"
fi

# ---- Bad settings: a message, status not 0, no frames --------------------------
# expect_refused NAME "TEXT EXPECTED ON STDERR" VAR=VALUE...
expect_refused() {
    local name=$1 text=$2
    shift 2
    mkdir -p "refused-$name"
    (cd "refused-$name" && env VANTREL_RECORD=1 VANTREL_SAVE_FRAMES=1 "$@" timeout 30 "$counter" \
        >out 2>err) 2>/dev/null # (the shell's own "Aborted" notice)
    local status=$?
    [ $status -ne 0 ] || fail "$name: accepted (status 0)"
    [ $status -ne 124 ] || fail "$name: still running after 30 s"
    grep -qF -- "$text" "refused-$name/err" || fail "$name: stderr lacks \"$text\": $(cat "refused-$name/err")"
    grep -q 'terminate called' "refused-$name/err" && fail "$name: the runtime's terminate message shows"
    ! ls "refused-$name"/*.png >/dev/null 2>&1 || fail "$name: frames were written"
    grep -q '^frames:' "refused-$name/out" && fail "$name: the program ran its frames"
}
bad_line() {
    printf 'frame 1 key down LEFT\n%s\n' "$2" >"$work/bad-$1.txt"
    expect_refused "$1" "$work/bad-$1.txt:2: expected $3" VANTREL_INPUT="$work/bad-$1.txt"
}
bad_line word 'frames 3 close' '"frame", found "frames"'
bad_line number 'frame x close' 'a frame number (1 or more), found "x"'
bad_line zero 'frame 0 close' 'a frame number (1 or more), found "0"'
bad_line what 'frame 3 jump' '"key", "text", "mouse", "pad" or "close", found "jump"'
bad_line updown 'frame 3 key press LEFT' '"down", "up" or "repeat", found "press"'
bad_line notext 'frame 3 text ' 'the text to type after "text" and one space, found the end of the line'
bad_line latin1 "$(printf 'frame 3 text Jos\xe9')" 'text in UTF-8 (save the script as UTF-8)'
bad_line key 'frame 3 key down NOSUCHKEY' 'a key name'
bad_line nokey 'frame 3 key down' 'a key name (LEFT, RIGHT, UP, DOWN, SPACE, RETURN, ESCAPE, A, 1...), found the end of the line'
bad_line move 'frame 3 mouse move 10' 'a y position in pixels, found the end of the line'
bad_line button 'frame 3 mouse click thumb' 'a button: left, middle or right, found "thumb"'
bad_line extra 'frame 3 close now' 'the end of the line, found "now"'
expect_refused no-script 'VANTREL_INPUT: cannot read the input script' VANTREL_INPUT="$work/no-such-script.txt"
expect_refused frames 'VANTREL_FRAMES: expected a number of frames (1 or more), found "ten"' VANTREL_FRAMES=ten
expect_refused list 'VANTREL_SAVE_FRAMES: expected frame numbers' VANTREL_SAVE_FRAMES=1,,2
expect_refused every 'VANTREL_SAVE_FRAMES: expected frame numbers' VANTREL_SAVE_FRAMES=every:0
expect_refused pattern 'VANTREL_FRAME_PATTERN: expected exactly one integer conversion' VANTREL_FRAME_PATTERN=frame.png
expect_refused pattern2 'VANTREL_FRAME_PATTERN: expected one integer conversion' 'VANTREL_FRAME_PATTERN=f-%s.png'
expect_refused unwritable 'cannot write frame 1 to "/no/such/folder/f-1.png"' 'VANTREL_FRAME_PATTERN=/no/such/folder/f-%d.png'

# ---- The launcher's own errors ---------------------------------------------------
"$run" --help | grep -q -- '--frames N' || fail "--help does not describe --frames"
"$run" --frames 2>/dev/null
[ $? -eq 2 ] || fail "a missing option value is not a usage error (status 2)"
"$run" --frames 5 -- "$work/no-such-program" 2>launcher.err
[ $? -eq 127 ] || fail "a program that cannot be run does not give status 127"
grep -q 'cannot run' launcher.err || fail "no message for a program that cannot be run"

checks_end "recording runs: all checks passed"
