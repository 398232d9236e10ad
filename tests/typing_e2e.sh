#!/usr/bin/env bash
# End-to-end run of vantrel-typing in a virtual X display, typed into as a
# person would type (xdotool): a name with a capital from Shift and an "é"
# from a dead key, Enter, a row of letters deleted by Backspace held down
# (one press, the rest the X server's repeats), the answer, Enter. The
# window must show the name exactly as the recording mode draws it for the
# same text, and the verdict in green; Escape must end the program with
# status 0, its last line naming what was typed and counting Backspace
# typed many times but pressed once.
#
#   typing_e2e.sh VANTREL_TYPING VANTREL_XCLOSE HEADLESS_SH VANTREL_RUN OUTPUT_DIR
set -uo pipefail

program=$1 xclose=$2 headless=$3 run=$4 out=$5
title="Vantrel typing"
letters=12 # typed into the answer, then deleted by one held Backspace

. "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

mkdir -p "$out"
rm -f "$out"/*.png

# ---- The name field as the recording mode draws "José" -----------------------
# (The name field's box: 561 x 41 pixels at (40, 90); the answer's at (40, 190).)
name_box=561x41+40+90
answer_text=541x33+50+194
printf 'frame 2 text Jos\xc3\xa9\nframe 3 key down RETURN\nframe 4 key up RETURN\n' >"$out/name.txt"
timeout 60 "$run" --frames 10 --save 10 --out "$out/reference-%d.png" --input "$out/name.txt" \
    -- "$program" >"$out/reference.log" 2>&1 || fail "the recorded run failed: $(cat "$out/reference.log")"

e2e_begin "$xclose" "$headless" "$out" convert compare xdotool setxkbmap
# A layout with dead keys (US international: the apostrophe key is a dead
# acute). xdotool would otherwise lend a key code to dead_acute for a moment,
# and a program reading the key after the loan ended would see another key.
timeout 20 setxkbmap -layout us -variant intl || fail "setxkbmap could not choose the US international layout"
"$program" >"$out/typing.stdout" 2>"$out/typing.stderr" &
e2e_window "$title" "$out/typing.stderr"

shot() { e2e_shot; }
# count FILE COLOUR CROP: pixels of exactly that colour in the crop (marked
# first in a colour the program never draws, so that black can be counted).
count() {
    local mark='rgb(1,2,3)'
    timeout 20 convert "$1" -alpha off -crop "$3" +repage -fill "$mark" -opaque "$2" \
        -fill black +opaque "$mark" -fill white -opaque "$mark" \
        -format '%[fx:int(mean*w*h+0.5)]' info:
}
# ink FILE: "W H X Y" of the black pixels in the answer (its letters and
# cursor), "0 0 0 0" if there are none.
ink() { headless_box "$1" 'rgb(0,0,0)' "$answer_text"; }

# The window may be mapped before its first frame is drawn: wait until the
# yellow title shows, for at most 10 s.
for _ in $(seq 20); do
    [ "$(count "$(shot)" 'rgb(255,255,0)' 640x50+0+0)" -gt 50 ] && break
    sleep 0.5
done
[ "$(count "$(shot)" 'rgb(255,255,0)' 640x50+0+0)" -gt 50 ] || fail "the title never showed within 10 s"
xdo windowfocus --sync "$window"
sleep 0.3

# The name field, pixel for pixel as the recording mode drew "José"?
# (After Enter, when the field shows no cursor.)
name_as_recorded() {
    convert "$1" -crop "$name_box" +repage "$out/name-typed.png"
    convert "$out/reference-10.png" -crop "$name_box" +repage "$out/name-recorded.png"
    differing=$(compare -metric AE -fuzz 2% "$out/name-typed.png" "$out/name-recorded.png" null: 2>&1)
    [[ $differing =~ ^[0-9]+$ ]] && [ "$differing" -le 5 ]
}

# ---- The name: Shift for the capital, a dead key for the accent ------------
# Now and then (one time in three on a heavily loaded machine, in a bare SDL
# program too) X's input method lets a dead key from xdotool go by without
# composing, and "e" comes alone; then the letter is taken back and the dead
# key typed again, at most five times in all.
xdo type --delay 40 "Jos"
sleep 0.3
dead_keys=0
while :; do
    dead_keys=$((dead_keys + 1))
    xdo key --delay 80 dead_acute e
    xdo key Return
    sleep 0.5
    alive
    name_as_recorded "$(shot)" && break
    [ $dead_keys -lt 5 ] ||
        fail "the typed name does not look like \"José\" as recorded after $dead_keys dead keys: $differing pixels differ ($out/name-typed.png, $out/name-recorded.png)"
    echo "typing_e2e: the dead key went by without composing; typing it again"
    # Back to the name (its box turns white), then Backspace.
    xdo key Up
    for _ in $(seq 20); do
        sleep 0.25
        [ "$(count "$(shot)" 'rgb(255,255,255)' 20x10+45+95)" -eq 200 ] && break
    done
    xdo key BackSpace
    sleep 0.3
done

# ---- The empty answer: its cursor alone --------------------------------------
# Where the blinking cursor's black pixels lie in the empty answer is what
# "emptied" looks like below. Their count could not tell: an "x" has fewer
# black pixels than the underscore. But every letter left stands above the
# underscore's row, and so changes where the black pixels lie.
cursor="0 0 0 0"
for _ in $(seq 20); do
    cursor=$(ink "$(shot)")
    [ "$cursor" != "0 0 0 0" ] && break
    sleep 0.25
done
read -r cursor_w cursor_h _ _ <<<"$cursor"
[ "$cursor_w" -gt $((2 * cursor_h)) ] ||
    fail "the answer is not empty after the name, or shows no cursor: its black pixels cover $cursor (W H X Y), not an underscore"

# ---- A row of letters, then Backspace held until the answer is empty ------
xdo type --delay 40 "$(printf 'x%.0s' $(seq $letters))"
sleep 0.3
shown=$(ink "$(shot)")
[ "$shown" != "0 0 0 0" ] && [ "$shown" != "$cursor" ] || fail "the letters typed into the answer do not show"
xdo keydown BackSpace
emptied=
for _ in $(seq 40); do
    sleep 0.25
    # Only the cursor may be left, or nothing while it blinks off.
    shown=$(ink "$(shot)")
    if [ "$shown" = "$cursor" ] || [ "$shown" = "0 0 0 0" ]; then
        emptied=yes
        break
    fi
done
xdo keyup BackSpace
[ -n "$emptied" ] || fail "holding Backspace for 10 s did not empty the answer (black pixels left over $shown, W H X Y)"
echo "typing_e2e: one held Backspace emptied the answer of $letters letters"

# ---- The answer, checked ---------------------------------------------------
xdo type --delay 40 "Jupiter"
xdo key Return
right=0
for _ in $(seq 20); do
    sleep 0.25
    screen=$(shot)
    right=$(count "$screen" 'rgb(0,255,0)' 640x40+0+250)
    [ "$right" -gt 100 ] && break
done
[ "$right" -gt 100 ] || fail "no green verdict after the right answer (last screenshot: $screen)"

name_as_recorded "$screen" ||
    fail "the name changed to something else than \"José\" as recorded: $differing pixels differ ($out/name-typed.png, $out/name-recorded.png)"
alive

# ---- Escape ends it ----------------------------------------------------------
e2e_end Escape 5
summary=$(tail -n 1 "$out/typing.stdout")
[[ $summary =~ ^vantrel-typing:\ name\ \"José\",\ answer\ \"Jupiter\",\ Backspace\ typed\ ([0-9]+),\ pressed\ ([0-9]+)$ ]] ||
    fail "unexpected last line: $summary"
typed=${BASH_REMATCH[1]} pressed=${BASH_REMATCH[2]}
# One press for the held Backspace, one for each dead key typed again; the
# repeats are typed, not pressed.
[ "$pressed" -eq "$dead_keys" ] || fail "Backspace was pressed $dead_keys times, the program counted $pressed"
[ "$typed" -gt "$pressed" ] || fail "Backspace held down was typed in $typed frames, pressed in $pressed: no repeat was typed"
echo "typing_e2e: all checks passed ($summary; $dead_keys dead key(s) typed)"
