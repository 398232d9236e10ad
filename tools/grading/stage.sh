#!/usr/bin/env bash
# Lays out vantrel-grade and what it needs from a build folder the way an
# install prefix holds them (bin/, lib/, include/vantrel/, libexec/vantrel/,
# share/vantrel/grading/), so that it runs from a checkout exactly as it runs
# installed. ./dev grade and the tests use it.
#
#   stage.sh SOURCE_DIR BUILD_DIR PREFIX
set -eu
source=$1 build=$2 prefix=$3
for file in "$build/libvantrel.a" "$build/vantrel.pc" "$build/tools/vantrel-run" \
    "$build/tools/vantrel-grade-tool"; do
    [ -f "$file" ] || {
        echo "stage.sh: $file is missing: build the targets vantrel, vantrel-run and vantrel-grade-tool first" >&2
        exit 1
    }
done
rm -rf "$prefix"
mkdir -p "$prefix/bin" "$prefix/lib/pkgconfig" "$prefix/include/vantrel/canvas" \
    "$prefix/include/vantrel/types" "$prefix/libexec/vantrel" "$prefix/share/vantrel/grading"
cp "$source/tools/grading/vantrel-grade" "$build/tools/vantrel-run" "$prefix/bin/"
cp "$build/tools/vantrel-grade-tool" "$prefix/libexec/vantrel/"
cp "$source/tools/grading/sandbox.sh" "$source/tools/grading/steps.sh" \
    "$source/tools/grading/inside.sh" "$prefix/share/vantrel/grading/"
cp "$build/libvantrel.a" "$prefix/lib/"
cp "$build/vantrel.pc" "$prefix/lib/pkgconfig/"
cp "$source/canvas/canvas.h" "$prefix/include/vantrel/canvas/"
cp "$source"/types/*.h "$prefix/include/vantrel/types/"
