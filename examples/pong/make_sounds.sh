#!/usr/bin/env bash
# Writes pong's sounds, 22050 Hz mono like the mixer: hit.wav (a short blip),
# point.ogg (a falling tone) and music.ogg (a 4-second tune that loops
# without a seam). They are committed, so building the example needs none of
# these tools; run this only to make them again:
#
#   apt-get install sox vorbis-tools
#   bash examples/pong/make_sounds.sh
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
for tool in sox oggenc; do
    command -v "$tool" >/dev/null 2>&1 ||
        { echo "make_sounds.sh: $tool is missing: apt-get install sox vorbis-tools" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wav() { sox -n -r 22050 -c 1 -b 16 "$@"; }

wav "$here/hit.wav" synth 0.07 square 880 vol 0.25 fade 0 0.07 0.03
wav "$work/point.wav" synth 0.6 sine 880-220 vol 0.5 fade 0.01 0.6 0.2
oggenc --quiet --quality 2 --output "$here/point.ogg" "$work/point.wav"

# Sixteen plucked notes, a quarter of a second each, over a bass that
# changes every bar.
notes=(A3 C4 E4 A4 G3 B3 D4 G4 F3 A3 C4 F4 E3 G#3 B3 E4)
bass=(A2 G2 F2 E2)
parts=()
for i in "${!notes[@]}"; do
    wav "$work/n$i.wav" synth 0.25 pluck "${notes[$i]}" vol 0.35
    parts+=("$work/n$i.wav")
done
bars=()
for i in "${!bass[@]}"; do
    wav "$work/b$i.wav" synth 1 triangle "${bass[$i]}" vol 0.25 fade 0.02 1 0.1
    bars+=("$work/b$i.wav")
done
sox "${parts[@]}" "$work/melody.wav"
sox "${bars[@]}" "$work/bass.wav"
sox -m "$work/melody.wav" "$work/bass.wav" "$work/music.wav"
oggenc --quiet --quality 1 --output "$here/music.ogg" "$work/music.wav"
ls -l "$here"/hit.wav "$here"/point.ogg "$here"/music.ogg
