#!/usr/bin/env bash
# Installs vantrel-grade and what it needs from a build folder into a prefix,
# by the install rules themselves (cmake/VantrelInstall.cmake, everything
# but the demo), so that it runs from a checkout exactly as it runs
# installed. ./dev grade and the tests use it.
#
#   grading_stage.sh SOURCE_DIR BUILD_DIR PREFIX
set -eu
build=$2 prefix=$3
for file in "$build/libvantrel.a" "$build/tools/vantrel-run" "$build/tools/vantrel-grade-tool"; do
    [ -f "$file" ] || {
        echo "grading_stage.sh: $file is missing: build the targets vantrel, vantrel-run and vantrel-grade-tool first" >&2
        exit 1
    }
done
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" --component Unspecified >"$build/grading-stage.log" 2>&1 || {
    cat "$build/grading-stage.log" >&2
    echo "grading_stage.sh: cmake --install could not lay out $prefix" >&2
    exit 1
}
