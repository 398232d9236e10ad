#!/usr/bin/env bash
# The grading walk-through in docs/grading.md, run as written: vantrel-grade
# from an install prefix, with nothing set by hand (no PATH, no
# PKG_CONFIG_PATH), grades the reference and the four submissions on frames
# 20 and 40 with the scripted SPACE, and prints exactly the table the page
# shows. Its --help, and ./dev grade --help, exit 0.
#
#   grading.sh VANTREL_SOURCE_DIR VANTREL_BUILD_DIR WORK_DIR
set -u
source=$1 build=$2 work=$3
. "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
fresh_folder "$work"
cmake --install "$build" --prefix "$work/prefix" >/dev/null || exit 1

"$work/prefix/bin/vantrel-grade" --help >help.txt
[ $? -eq 0 ] || fail "vantrel-grade --help did not exit 0"
grep -q -- '--frames LIST' help.txt || fail "vantrel-grade --help does not describe --frames"
"$source/dev" grade --help >dev-help.txt
[ $? -eq 0 ] || fail "./dev grade --help did not exit 0"
cmp -s help.txt dev-help.txt || fail "./dev grade --help differs from vantrel-grade --help"
"$work/prefix/bin/vantrel-grade" --frames 2>usage.err
[ $? -eq 2 ] || fail "a missing option value is not a usage error (status 2)"

timeout 900 "$work/prefix/bin/vantrel-grade" --frames 20,40 \
    --input "$source/docs/grading/input.txt" "$source/docs/grading/reference.cpp" \
    "$source/docs/grading/submissions" >table.md 2>grade.err
status=$?
cat table.md
[ $status -eq 1 ] || fail "vantrel-grade exited $status, expected 1 (some fail): $(tail -n 5 grade.err)"
sed -n '/^| Submission | Builds/,/^$/p' "$source/docs/grading.md" | sed '/^$/d' >expected.md
[ -s expected.md ] || fail "docs/grading.md has no results table"
diff expected.md table.md >table.diff || fail "the table differs from the one in docs/grading.md:
$(cat table.diff)"
grep -q 'Sorry, you can only use an initializeWorld function once!' grading-results/dan/run.log ||
    fail "dan's run log lacks the program's message"
[ -f grading-results/ben/difference-40.png ] || fail "no difference image for ben's frame 40"
grep -q 'data:image/png;base64,' grading-results/report.html || fail "report.html shows no frames"
checks_end "grading walk-through: the table as documented"
