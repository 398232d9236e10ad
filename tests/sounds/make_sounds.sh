#!/usr/bin/env bash
# Writes the compressed sound files the sound tests decode: a 440 Hz tone at
# half of full scale, 22050 Hz mono, as Ogg Vorbis (1 s), MP3 (1 s) and FLAC
# (0.5 s). They are committed (about 13 KB together), so the build and the
# tests need none of these tools; run this only to make them again:
#
#   apt-get install sox vorbis-tools lame flac
#   bash tests/sounds/make_sounds.sh
#
# (The WAV files the tests need are written by the tests themselves, see
# tests/wav.h.)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
for tool in sox oggenc lame flac; do
    command -v "$tool" >/dev/null 2>&1 ||
        { echo "make_sounds.sh: $tool is missing: apt-get install sox vorbis-tools lame flac" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sox -n -r 22050 -c 1 -b 16 "$work/tone.wav" synth 1 sine 440 vol 0.5
sox -n -r 22050 -c 1 -b 16 "$work/short.wav" synth 0.5 sine 440 vol 0.5
oggenc --quiet --quality 0 --output "$here/tone.ogg" "$work/tone.wav"
lame --quiet -b 32 "$work/tone.wav" "$here/tone.mp3"
flac --silent --force --best --no-padding --output-name "$here/tone.flac" "$work/short.wav"
ls -l "$here"/tone.*
