#!/usr/bin/env bash
# The part of vantrel-grade that runs inside each sandbox (or, with
# --no-sandbox, in a private folder): it unpacks what the step needs, runs
# one command under the limits, stops it at the time limit, ends whatever it
# left running, and hands back the files asked for and how it ended.
#
#   inside.sh [options] -- COMMAND [ARGUMENTS...]
#
#   --time S          wall-clock seconds the command may run
#   --cpu S           CPU seconds (SIGXCPU then, and SIGKILL a second later)
#   --memory MB       address space of each process, and (with
#                     --whole-sandbox) the memory all of them hold together
#   --processes N     processes and threads (only with --whole-sandbox: outside
#                     a sandbox the count would include every process of yours)
#   --open-files N    open files
#   --file-size KB    the largest file the command may write
#   --unpack DIR      first unpack the tar archive on fd 5 into DIR
#   --mkdir DIR       first make the folder DIR (for what the command writes)
#   --export PATH     afterwards, send PATH (relative to the working folder) in
#                     a tar archive on fd 3; may be given more than once
#   --whole-sandbox   this is a sandbox of its own (a PID namespace): end every
#                     process in it at the end, and count them first
#
# On fd 4 it writes what happened, one key=value a line: status (the
# command's exit status, 128 + N for signal N), limit (time, cpu or memory,
# when one stopped it), tasks (processes and threads left at the end, with
# --whole-sandbox). The command gets none of fds 3, 4 and 5.
set -u
# Nothing else this shell was given may reach the command: an open file or
# folder of the grader's would be a way out of the sandbox.
for fd in /proc/$$/fd/*; do
    fd=${fd##*/}
    [ "$fd" -gt 5 ] && eval "exec $fd>&-" 2>/dev/null
done
# shellcheck source=defaults.sh
. "$(dirname "${BASH_SOURCE[0]}")/defaults.sh" || exit 2
time=$VANTREL_GRADE_TIME cpu=$VANTREL_GRADE_CPU memory=$VANTREL_GRADE_MEMORY
processes=$VANTREL_GRADE_PROCESSES files=$VANTREL_GRADE_OPEN_FILES
file_size=$((VANTREL_GRADE_OUTPUT_MB * 1024)) unpack= whole=false
exports=() folders=()
while [ $# -gt 0 ]; do
    case $1 in
    --time) time=$2 && shift 2 ;;
    --cpu) cpu=$2 && shift 2 ;;
    --memory) memory=$2 && shift 2 ;;
    --processes) processes=$2 && shift 2 ;;
    --open-files) files=$2 && shift 2 ;;
    --file-size) file_size=$2 && shift 2 ;;
    --unpack) unpack=$2 && shift 2 ;;
    --mkdir) folders+=("$2") && shift 2 ;;
    --export) exports+=("$2") && shift 2 ;;
    --whole-sandbox) whole=true && shift ;;
    --) shift && break ;;
    *) echo "inside.sh: unknown option $1" >&2 && exit 2 ;;
    esac
done

if [ -n "$unpack" ]; then
    mkdir -p "$unpack" && tar -x -f - -C "$unpack" --no-same-owner <&5 || {
        echo "status=125" >&4
        echo "vantrel-grade: could not unpack the files for this step" >&2
        exit 0
    }
fi
exec 5<&-
[ ${#folders[@]} -eq 0 ] || mkdir -p -- "${folders[@]}"

# Processes and threads in the sandbox (its /proc shows only its own).
count_tasks() {
    local tasks=(/proc/[0-9]*/task/[0-9]*)
    echo ${#tasks[@]}
}

# The command in a process group of its own, so that outside a sandbox what
# it started can be ended with it.
set -m
(
    ulimit -S -t "$cpu" && ulimit -H -t $((cpu + 1)) && ulimit -v $((memory * 1024)) &&
        ulimit -n "$files" && ulimit -f "$file_size" || exit 125
    if $whole; then
        ulimit -u "$processes" || exit 125
    fi
    exec 3>&- 4>&-
    exec "$@"
) &
command=$!
# The watch: ends when the time is up (status 0) or, in a sandbox, as soon
# as its processes together hold more than the memory limit (status 1): the
# address-space limit holds for each process, and a program could start many.
watch() {
    if ! $whole; then
        exec sleep "$time"
    fi
    local end=$((SECONDS + time)) page total rss statm
    page=$(getconf PAGESIZE 2>/dev/null || echo 4096)
    while [ $SECONDS -lt $end ]; do
        total=0
        for statm in /proc/[0-9]*/statm; do
            read -r _ rss _ <"$statm" 2>/dev/null && total=$((total + rss))
        done
        [ $((total * page / 1024)) -gt $((memory * 1024)) ] && return 1
        sleep 0.25
    done
    return 0
}
watch 3>&- 4>&- &
timer=$!
# The shell's own notices about its jobs ("Killed", "Terminated") are not the
# command's output: from here on this shell's errors go nowhere.
exec 2>/dev/null
limit=
ended=
wait -n -p ended "$command" "$timer"
status=$?
if [ "$ended" != "$command" ]; then
    # Ended by the watch (or by the command ending the watch: that ends it too).
    limit=time
    [ $status -eq 1 ] && limit=memory
fi
tasks=0
$whole && tasks=$(count_tasks)
if [ -n "$limit" ]; then
    kill -KILL -- -"$command"
    wait "$command"
    status=$?
else
    kill "$timer"
fi
# Whatever the command left running: in a sandbox every other process (-1
# spares this one), outside only its process group.
if $whole; then
    kill -KILL -1
else
    kill -KILL -- -"$command"
fi
wait

# CPU time of the command and what it waited for: this shell's children's
# times, fields 16 and 17 of /proc/self/stat, in clock ticks.
read -r -a stat </proc/$$/stat
hz=$(getconf CLK_TCK 2>/dev/null || echo 100)
ticks=$((stat[15] + stat[16]))
cpu_used=$(printf '%d.%02d' $((ticks / hz)) $((ticks % hz * 100 / hz)))
# Past the soft limit a program gets SIGXCPU; one that ignores it, SIGKILL a
# second later.
if [ -z "$limit" ] && { [ $status -eq $((128 + 24)) ] ||
    { [ $status -eq $((128 + 9)) ] && [ $ticks -ge $((cpu * hz)) ]; }; }; then
    limit=cpu
fi

if [ ${#exports[@]} -gt 0 ]; then
    present=()
    for path in "${exports[@]}"; do
        [ -e "$path" ] && present+=("$path")
    done
    # Links are followed: what they point at is what this sandbox can see.
    [ ${#present[@]} -gt 0 ] && tar -c -h -f - -- "${present[@]}" >&3
fi
{
    echo "status=$status"
    [ -n "$limit" ] && echo "limit=$limit"
    echo "tasks=$tasks"
    echo "cpu=$cpu_used"
} >&4
exit 0
