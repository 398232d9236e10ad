#!/usr/bin/env bash
# Checks how tools/testing/windows/wine-run.sh tells a program Wine never started
# from one that ran: with fake Wine loaders that start the "program" (create
# the start marker, as tests/started_marker.cpp does) or not, and fail or not.
#
#   wine_run_test.sh WINE_RUN_SCRIPT WORK_DIR
set -uo pipefail
runner=$1 work=$2
rm -rf "$work"
mkdir -p "$work/tmp"
failed=0
# The runner's start markers go here, so that none left behind goes unseen.
export TMPDIR="$work/tmp"

# fake_loader NAME SCRIPT: a loader that counts its calls in WORK/NAME.calls
# and then runs SCRIPT with $call set (1 for the first call). $marker is the
# Unix path of the start marker; creating it is what "the program started" means.
fake_loader() {
    local name=$1 script=$2
    cat >"$work/$name" <<FAKE
#!/usr/bin/env bash
call=\$(( \$(cat "$work/$name.calls" 2>/dev/null || echo 0) + 1 ))
echo "\$call" >"$work/$name.calls"
marker=\$(printf '%s' "\${VANTREL_STARTED_FILE#Z:}" | tr '\\\\' /)
$script
FAKE
    chmod +x "$work/$name"
}

# expect NAME STATUS CALLS RETRY_SAID GIVE_UP_SAID: runs the runner with the
# loader NAME and checks its status, how often the loader ran and what it said.
expect() {
    local name=$1 status=$2 calls=$3 retry=$4 giveup=$5 got
    rm -f "$work/$name.calls"
    VANTREL_WINE="$work/$name" VANTREL_WINE_RETRY=1 WINEPREFIX="$work/prefix" \
        sh "$runner" program.exe --gtest_filter=X >"$work/$name.out" 2>&1
    got=$?
    local said_retry=no said_giveup=no
    grep -q 'starting it again, once' "$work/$name.out" && said_retry=yes
    grep -q 'giving up' "$work/$name.out" && said_giveup=yes
    local ran
    ran=$(cat "$work/$name.calls" 2>/dev/null || echo 0)
    if [ "$got" != "$status" ] || [ "$ran" != "$calls" ] || [ "$said_retry" != "$retry" ] ||
        [ "$said_giveup" != "$giveup" ]; then
        echo "FAIL $name: expected status $status, $calls run(s), retry said $retry, giving up said $giveup;" \
            "got status $got, $ran run(s), retry said $said_retry, giving up said $said_giveup. Output:"
        cat "$work/$name.out"
        failed=1
    else
        echo "ok $name: status $got after $ran run(s)"
    fi
}

# Started and passed; started and failed (never run again, even with no output).
fake_loader passes ': >"$marker"; echo "[  PASSED  ] 1 test."; exit 0'
fake_loader fails ': >"$marker"; exit 1'
# Wine lost the first start, the second ran.
fake_loader lost_once '[ "$call" -ge 2 ] || exit 1; : >"$marker"; echo ran; exit 0'
# Wine never starts it: run twice, then the runner gives up with the status.
fake_loader never 'exit 53'
# The program ran and failed on its second start only: the first start counts.
fake_loader fails_first ': >"$marker"; exit 3'

expect passes 0 1 no no
expect fails 1 1 no no
expect lost_once 0 2 yes no
expect never 53 2 yes yes
expect fails_first 3 1 no no

# Without VANTREL_WINE_RETRY the runner only hands over to Wine.
rm -f "$work/lost_once.calls"
VANTREL_WINE="$work/lost_once" WINEPREFIX="$work/prefix" sh "$runner" program.exe >/dev/null 2>&1
status=$?
if [ $status -ne 1 ] || [ "$(cat "$work/lost_once.calls")" != 1 ]; then
    echo "FAIL plain: without VANTREL_WINE_RETRY a failed start must not be retried (status $status)"
    failed=1
else
    echo "ok plain: no retry without VANTREL_WINE_RETRY"
fi
# No start marker is left behind.
leftover=$(find "$work/tmp" -mindepth 1 | wc -l)
[ "$leftover" -eq 0 ] || { echo "FAIL: $leftover start marker(s) left in $work/tmp"; failed=1; }
exit $failed
