#!/usr/bin/env bash
# Grades a folder of Vantrel programs against a reference solution: builds
# each one, runs it headless on a fixed clock with vantrel-run (the same
# scripted input for all), saves the same frames, and compares each frame
# with the reference's using ImageMagick's compare. Prints a table.
#
#   grade.sh [options] REFERENCE.cpp SUBMISSIONS_FOLDER
#
#   --frames LIST     frames to compare (default 60); the run stops after the last
#   --input FILE      input script for every run (see vantrel-run --help)
#   --tolerance N     pixels that may differ in a frame (default 500)
#   --out FOLDER      where builds, frames and difference images go
#                     (default ./grading-results)
#
# A submission is a .cpp file, or a folder whose .cpp files make one program.
# Vantrel is found with pkg-config (PKG_CONFIG_PATH for a private install);
# vantrel-run on the PATH (or VANTREL_RUN). Exits 0 when every submission
# passes, 1 when any does not, 2 on a usage error or a broken reference.
set -u

frames=60 input= tolerance=500 out=grading-results
usage() {
    sed -n '2,/^set -u/p' "$0" | sed -e '$d' -e 's/^# \{0,1\}//' >&2
    exit 2
}
while [ $# -gt 0 ]; do
    case $1 in
    --frames) frames=${2:-}; shift 2 ;;
    --input) input=${2:-}; shift 2 ;;
    --tolerance) tolerance=${2:-}; shift 2 ;;
    --out) out=${2:-}; shift 2 ;;
    -h | --help) usage ;;
    -*) echo "grade.sh: unknown option $1" >&2; usage ;;
    *) break ;;
    esac
done
[ $# -eq 2 ] || usage
reference=$1 submissions=$2
run=${VANTREL_RUN:-$(command -v vantrel-run || true)}
[ -n "$run" ] || { echo "grade.sh: vantrel-run not found (install Vantrel, or set VANTREL_RUN)" >&2; exit 2; }
flags=$(pkg-config --cflags --libs vantrel 2>/dev/null) ||
    { echo "grade.sh: pkg-config does not know vantrel (install Vantrel, or set PKG_CONFIG_PATH)" >&2; exit 2; }
command -v compare >/dev/null || { echo "grade.sh: ImageMagick's compare is missing" >&2; exit 2; }
[ -n "$input" ] && input=$(cd "$(dirname "$input")" && pwd)/$(basename "$input")
last=$(tr ',' '\n' <<<"$frames" | sort -n | tail -n 1)
mkdir -p "$out"
out=$(cd "$out" && pwd)

# build NAME SOURCES...: compiles into $out/NAME/program; the log in $out/NAME/build.log.
build() {
    local name=$1
    shift
    mkdir -p "$out/$name"
    # shellcheck disable=SC2086 # the flags are words
    timeout 300 "${CXX:-g++}" -std=c++17 -O1 "$@" $flags -o "$out/$name/program" \
        >"$out/$name/build.log" 2>&1
}

# record NAME: runs $out/NAME/program from its own folder and saves the frames.
record() {
    local name=$1 options=(--frames "$last" --save "$frames" --out "$out/$1/frame-%d.png")
    [ -n "$input" ] && options+=(--input "$input")
    rm -f "$out/$name"/frame-*.png
    (cd "$out/$name" && timeout 60 "$run" "${options[@]}" -- ./program >run.log 2>&1)
}

build reference "$reference" || { cat "$out/reference/build.log" >&2; echo "grade.sh: the reference does not build" >&2; exit 2; }
record reference || { cat "$out/reference/run.log" >&2; echo "grade.sh: the reference does not run" >&2; exit 2; }

count=$(tr ',' '\n' <<<"$frames" | wc -l)
printf '| Submission | Builds | Runs | Frames matching | Result |\n|---|---|---|---|---|\n'
failed=0
for submission in "$submissions"/*; do
    name=$(basename "$submission" .cpp)
    if [ -d "$submission" ]; then
        sources=("$submission"/*.cpp)
    elif [[ $submission == *.cpp ]]; then
        sources=("$submission")
    else
        continue
    fi
    if ! build "$name" "${sources[@]}"; then
        printf '| %s | no | - | - | FAIL: does not build (%s) |\n' "$name" "$out/$name/build.log"
        failed=1
        continue
    fi
    record "$name"
    status=$?
    if [ $status -ne 0 ]; then
        why="ended with status $status"
        [ $status -eq 124 ] && why="still running after 60 s"
        printf '| %s | yes | no | - | FAIL: %s (%s) |\n' "$name" "$why" "$out/$name/run.log"
        failed=1
        continue
    fi
    matching=0 worst=0
    for frame in $(tr ',' ' ' <<<"$frames"); do
        differing=$(compare -metric AE -fuzz 10% "$out/reference/frame-$frame.png" \
            "$out/$name/frame-$frame.png" "$out/$name/difference-$frame.png" 2>&1)
        [[ $differing =~ ^[0-9]+$ ]] || differing=999999999
        [ "$differing" -gt "$worst" ] && worst=$differing
        [ "$differing" -le "$tolerance" ] && matching=$((matching + 1))
    done
    if [ $matching -eq "$count" ]; then
        printf '| %s | yes | yes | %d/%d | PASS |\n' "$name" $matching "$count"
    else
        printf '| %s | yes | yes | %d/%d | FAIL: up to %d pixels differ (%s) |\n' "$name" \
            $matching "$count" "$worst" "$out/$name/difference-*.png"
        failed=1
    fi
done
exit $failed
