#!/usr/bin/env bash
# Ctrl+C (SIGINT) and SIGTERM, sent for real to the loops of loops_main.cpp.
# The first one is the window's close request, which a loop that takes its
# events acts on; a second one within 3 s, or a first one when the program
# has taken no events for a second, ends the program at once with status 130
# or 143 and one line on standard error.
#
#   signals.sh HEADLESS_SH PROGRAM LOOP...   runs the cases of each LOOP
set -u
headless=$1 program=$2
shift 2
# shellcheck source=../../tools/testing/headless.sh
. "$headless"

# The loop; what is done once it runs, in order (a signal, or a pause in
# seconds); then the exit status, or "running": still running 2 s later.
cases="
usual       INT          0
usual       TERM         0
never-polls INT          running
never-polls INT,INT      130
never-polls TERM,TERM    143
never-polls INT,TERM     143
never-polls INT,3.5,INT  running
frames-only 1.5,INT      130
busy        1.5,INT      130
busy        1.5,TERM     143
"

out=$(mktemp -d)
pid=
# Ends the program of the case, if it still runs.
end_program() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    [ -n "$pid" ] && wait "$pid" 2>/dev/null
    pid=
}
trap 'end_program; rm -rf "$out"' EXIT
# A shell starts background jobs with SIGINT ignored, and an ignored signal
# stays ignored in the program it runs: env puts both back to their default.
env --default-signal=INT,TERM true 2>/dev/null ||
    { echo "FAIL: env cannot reset signals (coreutils 9 or later is needed)"; exit 1; }

# Waits (at most 2 s) until signal $2 is no longer pending for process $1, so
# that the next one sent is not merged into it.
delivered() {
    local tries=20 pending
    [ -r "/proc/$1/status" ] || { sleep 0.5 && return; }
    while [ $tries -gt 0 ]; do
        pending=$(sed -n 's/^ShdPnd:[[:space:]]*//p' "/proc/$1/status" 2>/dev/null)
        [ -n "$pending" ] && [ $((0x$pending >> ($2 - 1) & 1)) -eq 1 ] || return 0
        sleep 0.1
        tries=$((tries - 1))
    done
}

problems=
problem() { problems+="$*; "; }

# Runs one case, noting what went wrong in $problems.
run_case() {
    local loop=$1 expected=$3 steps step last='' status tenths=100
    IFS=, read -r -a steps <<<"$2"
    # Emptied here, not by the redirections below: those happen in the child,
    # and until then the last case's "loop started" would still be read.
    : >"$out/stdout"
    : >"$out/stderr"
    env --default-signal=INT,TERM "$program" "$loop" >"$out/stdout" 2>"$out/stderr" &
    pid=$!
    until grep -qx 'loop started' "$out/stdout"; do
        kill -0 "$pid" 2>/dev/null ||
            { problem "ended before its loop ran: $(cat "$out/stderr")" && return; }
        [ $tenths -gt 0 ] || { problem "its loop did not start within 10 s" && return; }
        sleep 0.1
        tenths=$((tenths - 1))
    done
    for step in "${steps[@]}"; do
        case $step in
        [0-9]*) sleep "$step" ;;
        *) kill -s "$step" "$pid" && delivered "$pid" "$(kill -l "$step")" && last=$step ;;
        esac
    done
    if [ "$expected" = running ]; then
        headless_wait_exit "$pid" 2
        status=$?
        [ $status -eq 124 ] || problem "ended with status $status instead of running on"
    else
        headless_wait_exit "$pid" 10
        status=$?
        [ $status -eq 124 ] && problem "still running 10 s after the last signal" && return
        pid=
        [ "$status" -eq "$expected" ] || problem "ended with status $status instead of $expected"
    fi
    if [ "$expected" = running ] || [ "$expected" -eq 0 ]; then
        ! grep -q . "$out/stderr" || problem "wrote to standard error: $(cat "$out/stderr")"
        [ "$expected" = running ] || grep -qx 'close request seen' "$out/stdout" ||
            problem "did not see the close request"
        return
    fi
    local said=Ctrl+C
    [ "$last" = TERM ] && said=SIGTERM
    if [ "$(wc -l <"$out/stderr")" -ne 1 ] || ! grep -q "^Vantrel: ended by $said" "$out/stderr"; then
        problem "standard error is not one line saying \"ended by $said\": $(cat "$out/stderr")"
    fi
}

failed=0
while read -r loop steps expected; do
    [[ " $* " == *" $loop "* ]] || continue
    problems=
    run_case "$loop" "$steps" "$expected"
    end_program
    if [ -n "$problems" ]; then
        echo "FAIL: $loop, $steps: $problems"
        failed=1
    else
        echo "ok: $loop, $steps: $expected"
    fi
done <<<"$cases"
exit $failed
