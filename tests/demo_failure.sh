#!/usr/bin/env bash
# Runs a demonstration program whose set-up or first frame fails and checks
# that it ends abnormally with the failure's message on standard error (the
# environment, set by CTest, decides what fails).
#
#   demo_failure.sh PROGRAM EXPECTED_STDERR_TEXT [MORE_EXPECTED_TEXT...]
set -uo pipefail
program=$1 expected=$2
shift 2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

timeout 20 "$program" >"$out/stdout" 2>"$out/stderr"
status=$?
echo "exit status $status; standard error:"
cat "$out/stderr"

failed=0
# 134 is the shell's way of saying "ended by SIGABRT", as an uncaught exception does.
[ "$status" -eq 134 ] || { echo "FAIL: expected an abnormal end (status 134), got $status"; failed=1; }
for text in "$expected" "$@"; do
    grep -qF -- "$text" "$out/stderr" || { echo "FAIL: standard error lacks: $text"; failed=1; }
done
# One message, not the C++ runtime's own report after it.
! grep -q 'terminate called' "$out/stderr" || { echo "FAIL: the runtime's terminate message follows the message"; failed=1; }
[ "$(cat "$out/stdout")" = "initWorld called" ] || { echo "FAIL: standard output: $(cat "$out/stdout")"; failed=1; }
exit $failed
