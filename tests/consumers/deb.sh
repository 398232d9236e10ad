#!/usr/bin/env bash
# The Debian package, as a lab machine gets it: CPack makes it from this
# build, it unpacks (dpkg -x) into a scratch root, and programs build against
# what it holds, with the paths pointed into that root: the pkg-config line,
# and a project made by the packaged vantrel-new with CMake. Each program
# runs headless for a moment and must end with status 0 on SIGTERM.
#
#   deb.sh VANTREL_SOURCE_DIR VANTREL_BUILD_DIR WORK_DIR VERSION
set -u
source=$1 build=$2 work=$3 version=$4

fail() {
    echo "deb: FAIL: $*" >&2
    exit 1
}
# shellcheck source=run.sh
. "$(dirname "$0")/run.sh"
run() { run_briefly "$1" "$work/run.log" || fail "$(basename "$1") did not run and end cleanly"; }

rm -rf "$work"
mkdir -p "$work"

# ---- The package -------------------------------------------------------------
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
    fail "cpack failed: $(cat "$work/cpack.log")"
deb="$work/package/vantrel_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); CPack made: $(ls "$work/package")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vantrel ] || fail "package name is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version is $(field Version), expected $version"
depends=$(field Depends)
# The package names alone, one a line: "cmake (>= 3.22)" gives "cmake".
names=$(sed 's/, /\n/g' <<<"$depends" | cut -d ' ' -f 1)
for needed in libsdl2-dev libsdl2-gfx-dev libsdl2-ttf-dev libsdl2-mixer-dev libsdl2-image-dev \
    fonts-dejavu-core g++ cmake pkg-config bubblewrap; do
    grep -Fqx "$needed" <<<"$names" || fail "Depends lacks $needed: $depends"
done

root="$work/root"
dpkg -x "$deb" "$root" || fail "dpkg -x could not unpack the package"
for file in usr/lib/libvantrel.a usr/include/vantrel/canvas/canvas.h \
    usr/include/vantrel/types/color.h usr/include/vantrel/types/direction.h \
    usr/lib/cmake/vantrel/vantrelConfig.cmake usr/lib/cmake/vantrel/VantrelProgram.cmake \
    usr/lib/pkgconfig/vantrel.pc usr/bin/vantrel-new usr/share/vantrel/template/main.cpp \
    usr/share/vantrel/template/assets/beep.wav usr/share/vantrel/template/.gitignore \
    usr/bin/vantrel-grade usr/bin/vantrel-run usr/libexec/vantrel/vantrel-grade-tool \
    usr/share/vantrel/grading/inside.sh usr/share/vantrel/grading/sandbox.sh \
    usr/share/vantrel/grading/steps.sh usr/share/vantrel/grading/defaults.sh \
    usr/bin/vantrel-playground usr/share/vantrel/source/tools/dev/playground.sh; do
    [ -e "$root/$file" ] || fail "the package has no /$file"
done
[ -x "$root/usr/bin/vantrel-new" ] || fail "/usr/bin/vantrel-new is not executable"
"$root/usr/bin/vantrel-playground" --help | grep -q -- '--listen HOST:PORT' ||
    fail "vantrel-playground --help does not say how to start it"

# ---- pkg-config --------------------------------------------------------------
export PKG_CONFIG_PATH="$root/usr/lib/pkgconfig"
flags=$(pkg-config --cflags --libs vantrel) || fail "pkg-config does not know vantrel"
grep -q -- "-I$root/usr/lib/pkgconfig/../../include/vantrel" <<<"$flags" ||
    fail "the include path does not point into the unpacked package: $flags"
# shellcheck disable=SC2086
g++ "$source/examples/hello/main.cpp" $flags -o "$work/hello" >"$work/g++.log" 2>&1 ||
    fail "g++ with pkg-config failed: $(cat "$work/g++.log")"
run "$work/hello"

# ---- A project from the packaged vantrel-new, built with CMake ---------------
"$root/usr/bin/vantrel-new" "$work/lab exercise" >"$work/new.log" 2>&1 ||
    fail "the packaged vantrel-new failed: $(cat "$work/new.log")"
grep -q 'CHECKOUT \[==\[\]==\]' "$work/lab exercise/CMakeLists.txt" ||
    fail "a project from the package names a checkout to fall back on"
cmake -S "$work/lab exercise" -B "$work/lab-build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$root/usr" >"$work/configure.log" 2>&1 ||
    fail "configuring the new project failed: $(cat "$work/configure.log")"
grep -q "^vantrel_DIR:PATH=$root/usr/lib/cmake/vantrel\$" "$work/lab-build/CMakeCache.txt" ||
    fail "the project did not use the unpacked package: $(grep '^vantrel_DIR' "$work/lab-build/CMakeCache.txt")"
cmake --build "$work/lab-build" -j 2 >"$work/build.log" 2>&1 ||
    fail "building the new project failed: $(cat "$work/build.log")"
grep -q 'warning:' "$work/build.log" && fail "the new project builds with warnings: $(grep -A3 'warning:' "$work/build.log")"
[ -f "$work/lab-build/assets/beep.wav" ] || fail "assets/ was not copied beside the program"
run "$work/lab-build/lab_exercise"

# Where no Vantrel can be found, configuring says what to do.
cmake -S "$work/lab exercise" -B "$work/none-build" -DCMAKE_DISABLE_FIND_PACKAGE_vantrel=ON \
    >"$work/none.log" 2>&1 && fail "the project configured without any Vantrel"
grep -q "Vantrel was not found" "$work/none.log" || fail "no useful message: $(cat "$work/none.log")"
# ---- The packaged vantrel-grade, on one submission, as Gradescope would run it --
(cd "$work" && timeout 240 "$root/usr/bin/vantrel-grade" --one --frames 20,40 \
    --input "$source/docs/grading/input.txt" --json "$work/results.json" \
    "$source/docs/grading/reference.cpp" "$source/docs/grading/submissions/ada.cpp" \
    >"$work/grade.out" 2>"$work/grade.err") ||
    fail "the packaged vantrel-grade failed: $(cat "$work/grade.out" "$work/grade.err")"
grep -q '^| ada | yes | yes | 2/2 | 2/2 | PASS |$' "$work/grade.out" ||
    fail "the packaged vantrel-grade did not pass ada: $(cat "$work/grade.out")"
[ "$(jq -r '.name + " " + (.score | tostring) + "/" + (.max_score | tostring)' "$work/results.json")" = "ada 2/2" ] ||
    fail "--one --json did not write ada's results.json alone: $(head -c 400 "$work/results.json")"
echo "deb: $(basename "$deb") unpacked; pkg-config and CMake programs built against it and ran; it graded a submission"
