#!/usr/bin/env bash
# vantrel-xclose against windows that vanish while it searches: a program
# makes and destroys windows in a tight loop beside one steady window. The
# helper must neither die of an X error nor find what is not there: a search
# for a missing title ends with status 1 and its own message, the steady
# window is found, and its close request reaches it.
#
#   xclose_churn.sh XCLOSE XCHURN HEADLESS_SH
set -u
xclose=$1 churn=$2 headless=$3
. "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
command -v Xvfb >/dev/null 2>&1 || { echo "FAIL: Xvfb is not installed" >&2; exit 1; }

# shellcheck source=../../tools/testing/headless.sh
. "$headless"
out=$(mktemp -d)
churn_pid=
cleanup() {
    [ -n "$churn_pid" ] && kill "$churn_pid" 2>/dev/null && wait "$churn_pid" 2>/dev/null
    headless_stop
    rm -rf "$out"
}
trap cleanup EXIT
headless_start || exit 1

"$churn" "steady target" 40 >"$out/churn.log" 2>&1 &
churn_pid=$!

# Many short searches for a title nobody has, each walking a tree in flux.
for round in $(seq 15); do
    timeout 10 "$xclose" wait "nobody has this title" 0.3 >/dev/null 2>"$out/err"
    status=$?
    if [ $status -ne 1 ] || ! grep -q 'no window titled' "$out/err"; then
        fail "round $round: search for a missing title ended with status $status: $(cat "$out/err")"
        break
    fi
done
for round in $(seq 10); do
    timeout 10 "$xclose" wait "steady target" 5 >/dev/null 2>"$out/err" ||
        { fail "round $round: the steady window was not found: $(cat "$out/err")"; break; }
done

timeout 10 "$xclose" close "steady target" 5 2>"$out/err" || fail "close failed: $(cat "$out/err")"
for _ in $(seq 50); do
    kill -0 "$churn_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$churn_pid" 2>/dev/null; then
    fail "the steady window did not get the close request within 5 s"
else
    wait "$churn_pid"
    status=$?
    churn_pid=
    [ $status -eq 0 ] || fail "the churning program ended with status $status: $(cat "$out/churn.log")"
fi
grep -h . "$out/churn.log"
checks_end "xclose survived the churn: 25 searches, one close delivered"
