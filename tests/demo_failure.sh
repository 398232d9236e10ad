#!/usr/bin/env bash
# Runs a demonstration program whose set-up or first frame fails and checks
# that it ends abnormally with the failure's message on standard error (the
# environment, set by CTest, decides what fails).
#
#   demo_failure.sh PROGRAM EXPECTED_STDERR_TEXT
set -uo pipefail
program=$1 expected=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$program" >"$out/stdout" 2>"$out/stderr"
status=$?
echo "exit status $status; standard error:"
cat "$out/stderr"

failed=0
# 134 is the shell's way of saying "ended by SIGABRT", as an uncaught exception does.
[ "$status" -eq 134 ] || { echo "FAIL: expected an abnormal end (status 134), got $status"; failed=1; }
grep -qF -- "$expected" "$out/stderr" || { echo "FAIL: standard error lacks: $expected"; failed=1; }
[ "$(cat "$out/stdout")" = "initWorld called" ] || { echo "FAIL: standard output: $(cat "$out/stdout")"; failed=1; }
exit $failed
