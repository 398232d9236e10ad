#!/usr/bin/env bash
# End-to-end run of vantrel-pong in a virtual X display, played and listened
# to: SDL's disk audio driver writes what the program sounds like to a file
# (22050 Hz, signed 16-bit, mono, at a sound card's pace), which is read
# with od. The music must be heard from the start, M must silence it and
# bring it back, a held W must move the left paddle, and once Space serves
# the ball its hits and points must be heard while the music is off. Escape
# must end the program with status 0, and its last line must agree.
#
#   pong_e2e.sh VANTREL_PONG VANTREL_XCLOSE HEADLESS_SH OUTPUT_DIR
set -uo pipefail

program=$1 xclose=$2 headless=$3 out=$4
title="Vantrel pong"
rate=22050

. "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

e2e_begin "$xclose" "$headless" "$out" convert xdotool od
sound="$out/pong.raw"
rm -f "$sound"

# Started from another folder: the program finds its sounds beside itself.
(cd / && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$sound" exec "$program") \
    >"$out/pong.stdout" 2>"$out/pong.stderr" &
e2e_window "$title" "$out/pong.stderr"

# ---- Listening --------------------------------------------------------------
# heard: samples written so far.
heard() { echo $(($(stat -c %s "$sound" 2>/dev/null || echo 0) / 2)); }
# wait_heard COUNT: waits (at most 20 s) until COUNT samples are written.
wait_heard() {
    local tries=0
    while [ "$(heard)" -lt "$1" ]; do
        [ $tries -ge 200 ] && fail "the program wrote only $(heard) samples of sound, $1 were awaited"
        sleep 0.1
        tries=$((tries + 1))
    done
}
# peak FROM SECONDS: the loudest sample (its size) in SECONDS of sound from
# sample FROM on, once they are written.
peak() {
    local from=$1 count
    count=$(awk -v s="$2" -v r=$rate 'BEGIN { printf "%d", s * r }')
    wait_heard $((from + count))
    od -An -v -t d2 -j $((from * 2)) -N $((count * 2)) "$sound" |
        awk '{ for (i = 1; i <= NF; i++) { v = $i < 0 ? -$i : $i; if (v > m) m = v } }
             END { print m + 0 }'
}
# Sound mixed before a key press may still be written after it: checks start
# this far after the press.
settle=$((rate * 3 / 10))

# ---- Looking ----------------------------------------------------------------
# shot NAME: takes a screenshot into the output folder, prints its path.
shot() {
    local file="$out/pong-$1.png"
    headless_screenshot "$window" "$file" || fail "could not take the screenshot $1"
    echo "$file"
}
# left_paddle FILE: the top of the left paddle (white, columns 24-35), or -1.
# A black border keeps the corners black, whatever touches them, so that
# the bounding box is the paddle's.
left_paddle() {
    local geometry
    geometry=$(convert "$1" -crop 12x480+24+0 +repage -fill black +opaque 'rgb(255,255,255)' \
        -fill white -opaque 'rgb(255,255,255)' -bordercolor black -border 1 \
        -format '%@' info: 2>/dev/null)
    if [[ $geometry =~ ^12x80\+1\+([0-9]+)$ ]]; then
        echo $((BASH_REMATCH[1] - 1))
    else
        echo -1
    fi
}

# The window may be mapped before its first frame is drawn: wait for the
# left paddle, in the middle, for at most 10 s.
top=-1
for _ in $(seq 20); do
    top=$(left_paddle "$(shot start)")
    [ "$top" -ge 0 ] && break
    sleep 0.5
done
[ "$top" -eq 200 ] || fail "the left paddle's top is at $top, expected 200 (the middle)"

# ---- The music plays from the start ----------------------------------------
start=$(heard)
loudest=$(peak "$start" 1.0)
[ "$loudest" -ge 1000 ] || fail "no music heard at the start (loudest sample $loudest)"
echo "pong_e2e: music heard (loudest sample $loudest)"

xdo mousemove --window "$window" 320 240
xdo windowfocus "$window"
sleep 0.3

# ---- M turns it off, and on again -------------------------------------------
xdo key m
off=$(heard)
loudest=$(peak $((off + settle)) 1.0)
[ "$loudest" -eq 0 ] || fail "sound heard after M turned the music off (loudest sample $loudest)"
xdo key m
on=$(heard)
loudest=$(peak $((on + settle)) 1.0)
[ "$loudest" -ge 1000 ] || fail "no music heard after M turned it on again (loudest sample $loudest)"
echo "pong_e2e: M silenced the music and brought it back"
xdo key m # off again, to hear the effects alone
alive

# ---- W held moves the left paddle up ----------------------------------------
xdo keydown w
sleep 0.3
xdo keyup w
sleep 0.3
moved=$(left_paddle "$(shot moved)")
[ "$moved" -ge 0 ] && [ "$moved" -lt 180 ] ||
    fail "holding W for 0.3 s left the left paddle's top at $moved (it was at 200)"
echo "pong_e2e: W moved the left paddle up to $moved"

# ---- Space serves: the hits and points are heard over the silent music ------
served=$(heard)
xdo key space
loudest=$(peak $((served + settle)) 5.0)
[ "$loudest" -ge 1000 ] || fail "no hit or point heard within 5 s of the serve (loudest sample $loudest)"
echo "pong_e2e: the ball's sounds heard (loudest sample $loudest)"
alive

# ---- Escape ends it --------------------------------------------------------
e2e_end Escape 5
summary=$(tail -n 1 "$out/pong.stdout")
[[ $summary =~ ^vantrel-pong:\ ([0-9]+)-([0-9]+),\ ([0-9]+)\ hits,\ music\ off$ ]] ||
    fail "unexpected last line: $summary"
events=$((BASH_REMATCH[1] + BASH_REMATCH[2] + BASH_REMATCH[3]))
[ "$events" -ge 1 ] || fail "sounds were heard, but the program counted no hit and no point: $summary"
echo "pong_e2e: all checks passed ($summary)"
