#!/usr/bin/env bash
# Runs a demonstration program whose set-up or first frame fails and checks
# that it ends abnormally with the failure's message on standard error (the
# environment, set by CTest, decides what fails).
#
#   demo_failure.sh [--status N] [--emulator RUNNER] [--ordered] PROGRAM
#                   EXPECTED_STDERR_TEXT [MORE_EXPECTED_TEXT...]
#
# --status: the status an abnormal end gives (default 134, the shell's way of
# saying "ended by SIGABRT", as an uncaught exception does; Windows says 3).
# --emulator: runs PROGRAM through RUNNER (Wine for a Windows program), which
# may take far longer to start: the program then has 90 s instead of 20.
# --ordered: the texts must appear in the order given.
set -uo pipefail
abnormal=134 runner=() limit=20 ordered=false
while [ $# -gt 0 ]; do
    case $1 in
    --status) abnormal=$2 ;;
    --emulator) runner=("$2") limit=90 ;;
    --ordered) ordered=true && shift && continue ;;
    *) break ;;
    esac
    shift 2
done
program=$1 expected=$2
shift 2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

timeout "$limit" "${runner[@]}" "$program" >"$out/stdout" 2>"$out/stderr"
status=$?
# Windows programs end their lines with \r\n.
sed -i 's/\r$//' "$out/stdout" "$out/stderr"
echo "exit status $status; standard error:"
cat "$out/stderr"

failed=0
[ "$status" -eq "$abnormal" ] ||
    { echo "FAIL: expected an abnormal end (status $abnormal), got $status"; failed=1; }
last=0
for text in "$expected" "$@"; do
    line=$(grep -nF -- "$text" "$out/stderr" | head -n 1 | cut -d : -f 1)
    if [ -z "$line" ]; then
        echo "FAIL: standard error lacks: $text"
        failed=1
    elif $ordered && [ "$line" -lt "$last" ]; then
        echo "FAIL: standard error has \"$text\" on line $line, before the text expected earlier (line $last)"
        failed=1
    else
        last=$line
    fi
done
# One message, not the C++ runtime's own report after it.
! grep -q 'terminate called' "$out/stderr" || { echo "FAIL: the runtime's terminate message follows the message"; failed=1; }
[ "$(cat "$out/stdout")" = "initWorld called" ] || { echo "FAIL: standard output: $(cat "$out/stdout")"; failed=1; }
exit $failed
