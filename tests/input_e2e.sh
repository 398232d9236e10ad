#!/usr/bin/env bash
# End-to-end run of vantrel-input in a virtual X display, driven the way a
# person would drive it: keys held and tapped, the wheel turned, buttons
# clicked and held (xdotool). Each step is checked in a screenshot of the
# window: the paddle's place and width, the ball standing still or moving,
# the marks where the clicks landed. Escape must end the program with
# status 0, and its last line must count the clicks made.
#
#   input_e2e.sh VANTREL_INPUT VANTREL_XCLOSE HEADLESS_SH OUTPUT_DIR
set -uo pipefail

program=$1 xclose=$2 headless=$3 out=$4
title="Vantrel input"

. "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

e2e_begin "$xclose" "$headless" "$out" convert xdotool

"$program" >"$out/input.stdout" 2>"$out/input.stderr" &
e2e_window "$title" "$out/input.stderr"

shot() { e2e_shot; }
# box FILE COLOUR [CROP]: bounding box "W H X Y" of the pixels of exactly
# that colour (X and Y within the crop), or "0 0 0 0" if there are none.
box() {
    local crop=${3:-640x480+0+0} geometry
    geometry=$(convert "$1" -crop "$crop" -fill black +opaque "$2" -fill white -opaque "$2" \
        -format '%@' info: 2>/dev/null)
    if [[ $geometry =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] && [ "${BASH_REMATCH[1]}" -gt 0 ]; then
        echo "${BASH_REMATCH[1]} ${BASH_REMATCH[2]} ${BASH_REMATCH[3]} ${BASH_REMATCH[4]}"
    else
        echo "0 0 0 0"
    fi
}
ball() { box "$1" 'rgb(255,0,0)'; }
# The paddle, rows 440-452: "LEFT WIDTH" of its yellow span.
paddle() {
    local w h x y
    read -r w h x y < <(box "$1" 'rgb(255,255,0)' 640x13+0+440)
    echo "$x $w"
}

# The window may be mapped before its first frame is drawn (on a loaded
# machine, for a while): wait until the paddle shows, for at most 10 s.
for _ in $(seq 20); do
    read -r _ shown < <(paddle "$(shot)")
    [ "$shown" -gt 0 ] && break
    sleep 0.5
done
[ "$shown" -gt 0 ] || fail "the paddle never showed within 10 s"

# The pointer in the window and the keyboard focus on it.
xdo mousemove --window "$window" 320 240
xdo windowfocus "$window"
sleep 0.5

# ---- Space pauses the ball (a press and release within about one frame) ----
xdo key space
sleep 0.4
for attempt in 1 2 3 4 5; do
    first=$(ball "$(shot)")
    sleep 0.4
    second=$(ball "$(shot)")
    [ "$first" != "0 0 0 0" ] || fail "no ball (red) in the window"
    [ "$first" = "$second" ] || fail "the ball moved after Space paused it: $first, then $second"
    read -r bw bh bx by <<<"$first"
    # Paddle checks need the ball clear of the paddle's rows.
    [ $((by + bh)) -lt 430 ] && break
    xdo key space
    sleep 0.5
    xdo key space
    sleep 0.4
    [ "$attempt" -lt 5 ] || fail "the ball kept stopping over the paddle"
done
echo "input_e2e: Space paused the ball at ${bx},${by}"

# ---- Right held: the paddle moves 400 px/s for as long as it is held -------
ms() { echo $(($(date +%s%N) / 1000000)); }
read -r left0 width0 < <(paddle "$(shot)")
[ "$width0" -eq 121 ] || fail "paddle is $width0 px wide at the start, expected 121"
before_down=$(ms)
xdo keydown Right
after_down=$(ms)
sleep 0.3
before_up=$(ms)
xdo keyup Right
after_up=$(ms)
sleep 0.3
read -r left1 _ < <(paddle "$(shot)")
sleep 0.3
read -r left1b _ < <(paddle "$(shot)")
moved=$((left1 - left0))
# The key was held for between (before_up - after_down) and (after_up -
# before_down) ms; xdotool itself may take long to start on a loaded machine.
# The program sees the key at frame starts, so the distance may be off by
# about one frame's worth at each end: 100 px (a quarter of a second) is
# allowed. The paddle stops at the right edge after 259 px.
shortest=$((400 * (before_up - after_down) / 1000 - 100))
longest=$((400 * (after_up - before_down) / 1000 + 100))
[ "$longest" -gt 259 ] && longest=259
[ "$moved" -ge 40 ] && [ "$moved" -ge "$shortest" ] && [ "$moved" -le "$longest" ] ||
    fail "holding Right moved the paddle $moved px (from $left0 to $left1), expected $shortest to $longest"
[ "$left1" = "$left1b" ] || fail "the paddle kept moving after Right was released ($left1, then $left1b)"
echo "input_e2e: holding Right moved the paddle $moved px ($shortest to $longest expected)"

# ---- The wheel: three steps away from the user widen it by 30 px -----------
xdo click --repeat 3 --delay 60 4
sleep 0.3
read -r _ width2 < <(paddle "$(shot)")
[ $((width2 - width0)) -eq 30 ] || fail "three wheel steps made the paddle $width2 px wide, expected $((width0 + 30))"

# ---- Right button held: the paddle follows the mouse -----------------------
xdo mousemove --window "$window" 150 300 mousedown 3
sleep 0.3
xdo mousemove --window "$window" 180 300
sleep 0.3
xdo mouseup 3
sleep 0.3
read -r left3 width3 < <(paddle "$(shot)")
centre=$((left3 + width3 / 2))
[ "$centre" -ge 178 ] && [ "$centre" -le 182 ] ||
    fail "with the right button held at x 180, the paddle's centre is at $centre"

# ---- Left clicks: counted and marked where they landed ---------------------
clicked=0
marks=()
for spot in "100 120" "540 120" "320 360" "100 360"; do
    read -r sx sy <<<"$spot"
    # Away from the paused ball.
    if [ $((sx - bx)) -lt -30 ] || [ $((sx - bx - bw)) -gt 30 ] ||
        [ $((sy - by)) -lt -30 ] || [ $((sy - by - bh)) -gt 30 ]; then
        xdo mousemove --window "$window" "$sx" "$sy" click 1
        marks+=("$sx $sy")
        clicked=$((clicked + 1))
        sleep 0.1
    fi
    [ "$clicked" -eq 2 ] && break
done
sleep 0.3
screen=$(shot)
for mark in "${marks[@]}"; do
    read -r mx my <<<"$mark"
    read -r w h _ _ < <(box "$screen" 'rgb(255,0,255)' "21x21+$((mx - 10))+$((my - 10))")
    [ "$w" -ge 11 ] && [ "$w" -le 13 ] && [ "$h" -ge 11 ] && [ "$h" -le 13 ] ||
        fail "no mark (a fuchsia disc 13 px across) where the click at $mx,$my landed: $w x $h px"
done
echo "input_e2e: $clicked clicks marked where they landed"

# ---- Space again: the ball moves ------------------------------------------
xdo key space
sleep 0.3
first=$(ball "$(shot)")
sleep 0.3
second=$(ball "$(shot)")
[ "$first" != "$second" ] || fail "the ball stood still after Space resumed it ($first)"
alive

# ---- Escape ends it --------------------------------------------------------
e2e_end Escape 3
summary=$(tail -n 1 "$out/input.stdout")
[[ $summary =~ ^vantrel-input:\ ([0-9]+)\ clicks,\ ([0-9]+)\.[0-9]\ frames ]] ||
    fail "unexpected last line: $summary"
[ "${BASH_REMATCH[1]}" -eq "$clicked" ] || fail "the program counted ${BASH_REMATCH[1]} clicks, $clicked were made"
fps=${BASH_REMATCH[2]}
# At most 62.5 (16 ms frames); a loaded machine may give far fewer.
[ "$fps" -ge 5 ] && [ "$fps" -le 63 ] || fail "measured $fps frames per second at a 60 fps target"
echo "input_e2e: all checks passed ($summary)"
