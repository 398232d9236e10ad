#!/usr/bin/env bash
# Makes or checks the README's pictures with the recording mode: each program
# listed in examples/screenshots.txt runs headless on a fixed clock, and the
# frame named there is saved.
#
#   screenshots.sh update SOURCE_DIR BUILD_DIR   write the pictures
#   screenshots.sh check  SOURCE_DIR BUILD_DIR   fail when a program now draws
#                                                something else than its picture
set -u
mode=$1 source=$2 build=$3
list="$source/examples/screenshots.txt"
run="$build/tools/vantrel-run"
# Pixels that may differ (after a 2 % colour fuzz) before a picture counts as
# out of date: a few, for a FreeType release that shades an edge differently.
tolerance=20
[ -x "$run" ] || { echo "screenshots: $run not built" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0 count=0
while read -r program frame picture script; do
    case "$program" in '' | '#'*) continue ;; esac
    count=$((count + 1))
    input=()
    [ -n "$script" ] && input=(--input "$source/$script")
    # The program runs from its own folder, as a learner would start it.
    if ! (cd "$(dirname "$build/$program")" &&
        timeout 60 "$run" --frames "$frame" --save "$frame" --out "$work/shot-%d.png" \
            "${input[@]}" -- "$build/$program" >"$work/log" 2>&1); then
        echo "screenshots: $program failed:" >&2
        cat "$work/log" >&2
        failures=$((failures + 1))
        continue
    fi
    shot="$work/shot-$frame.png"
    if [ "$mode" = update ]; then
        cp "$shot" "$source/$picture"
        echo "screenshots: $picture (frame $frame of $program)"
        continue
    fi
    if [ ! -f "$source/$picture" ]; then
        echo "screenshots: $picture is missing: run ./dev screenshots" >&2
        failures=$((failures + 1))
        continue
    fi
    differing=$(compare -metric AE -fuzz 2% "$source/$picture" "$shot" null: 2>&1)
    if ! [[ $differing =~ ^[0-9]+$ ]] || [ "$differing" -gt $tolerance ]; then
        echo "screenshots: $picture is out of date ($differing pixels differ from what $program draws now in frame $frame): run ./dev screenshots and commit the pictures" >&2
        failures=$((failures + 1))
    else
        echo "screenshots: $picture up to date ($differing pixels differ)"
    fi
done <"$list"
[ $count -gt 0 ] || { echo "screenshots: nothing listed in $list" >&2; exit 1; }
exit $((failures > 0))
