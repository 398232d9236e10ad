#!/usr/bin/env bash
# Where the sandbox cannot start (here: user namespaces forbidden inside a
# user namespace of this test's own, so the machine is left as it was),
# vantrel-grade refuses, with the reason and how to allow them; with
# --no-sandbox it grades all the same, saying that it does. One submission,
# with --one: --json then writes its results.json alone.
#
#   no_sandbox.sh VANTREL_SOURCE_DIR VANTREL_BUILD_DIR WORK_DIR
set -u
source=$1 build=$2 work=$3
. "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
fresh_folder "$work"
mkdir -p tmp
bash "$source/tools/dev/grading_stage.sh" "$source" "$build" "$work/kit" || exit 1

# grade ARGUMENTS...: vantrel-grade where no user namespace can be made.
grade() {
    TMPDIR="$work/tmp" timeout 600 unshare --user --map-root-user bash -c \
        'echo 0 >/proc/sys/user/max_user_namespaces && exec "$@"' _ \
        "$work/kit/bin/vantrel-grade" --one --frames 20,40 --input "$source/docs/grading/input.txt" \
        "$@" "$source/docs/grading/reference.cpp" "$source/docs/grading/submissions/ada.cpp"
}

grade --json refused.json >refused.out 2>refused.err
status=$?
[ $status -eq 2 ] || fail "without a sandbox, vantrel-grade exited $status, expected 2: $(cat refused.err)"
for text in "cannot sandbox the submissions" "bubblewrap could not start a sandbox" \
    "user namespaces" "sysctl" "--no-sandbox"; do
    grep -qF -- "$text" refused.err || fail "the refusal does not say \"$text\": $(cat refused.err)"
done
[ -s refused.out ] && fail "a refused grading printed results: $(cat refused.out)"
[ -e refused.json ] && fail "a refused grading wrote results"

grade --no-sandbox --json results.json >graded.out 2>graded.err
status=$?
cat graded.out
[ $status -eq 0 ] || fail "with --no-sandbox, vantrel-grade exited $status, expected 0: $(cat graded.err)"
grep -q 'every program runs with your own rights' graded.err || fail "--no-sandbox is not announced"
grep -qx '| ada | yes | yes | 2/2 | 2/2 | PASS |' graded.out || fail "ada did not pass"
jq -e -f "$source/tests/grading/results.jq" results.json >/dev/null ||
    fail "results.json does not have Gradescope's form: $(cat results.json)"
[ "$(jq -r '.name' results.json)" = ada ] || fail "results.json is not ada's alone"
[ -z "$(ls -A "$work/tmp")" ] || fail "working folders were left in $work/tmp: $(ls "$work/tmp")"

checks_end "no sandbox: refused with the reason, and graded with --no-sandbox"
