#!/usr/bin/env bash
# A class of submissions graded as a teacher would, from a checkout (the
# tools laid out by stage.sh, as ./dev grade does): the ordinary ones (right,
# a wrong frame, does not build, crashes, no frames, ignores the close
# request, never asks isRunning()) and hostile ones (deletes files, reads
# another submission, opens a connection, looks for the grader's environment
# and folders, forks without end, allocates without end, alone or in many
# processes, loops or sleeps for ever, prints a gigabyte, includes a file
# from the teacher's home).
# Each hostile one would pass if what it tried worked; each must get a clear
# FAIL, nothing outside its sandbox may change, and grading must finish. The
# table, the JSON (checked with results.jq), the JUnit XML (checked against
# junit.xsd) and the HTML report (its images read back) must agree.
#
#   class.sh VANTREL_SOURCE_DIR VANTREL_BUILD_DIR LISTENER WORK_DIR
set -u
source=$1 build=$2 listener=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
. "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
fresh_folder "$work"

bash "$source/tools/dev/grading_stage.sh" "$source" "$build" "$work/kit" || exit 1

# ---- What the submissions must not touch ----------------------------------------
# The teacher's home and a folder in /tmp, writable by anyone: only the
# sandbox keeps a program out of them (the grader, as root, runs the programs
# as nobody, which could otherwise change them too).
home="$work/home" outside=$(mktemp -d /tmp/vantrel-grading-test.XXXXXX)
listener_pid=
cleanup() {
    [ -n "$listener_pid" ] && kill "$listener_pid" 2>/dev/null
    rm -rf "$outside"
}
trap cleanup EXIT
mkdir -p "$home"
for folder in "$home" "$outside"; do
    echo "precious" >"$folder/precious.txt"
    echo "keep" >"$folder/keep.txt"
    chmod 666 "$folder"/*.txt
    chmod 777 "$folder"
done
chmod 755 "$work"
# Included, it would make includes_home draw the house.
cp "$here/house.h" "$home/"
printf '#include "house.h"\n#define SECRET_DRAWING drawHouse // secret-marker-7f3a\n' >"$home/secret.h"

"$listener" 600 "$work/connections.txt" >"$work/port" &
listener_pid=$!
for _ in $(seq 100); do
    [ -s "$work/port" ] && break
    sleep 0.1
done
port=$(cat "$work/port")
[ -n "$port" ] || { echo "FAIL: the listener did not start" >&2 && exit 1; }

# ---- The class: a folder each, main.cpp and the house -------------------------------
class="$work/class"
for template in "$here"/class/*.cpp; do
    name=$(basename "$template" .cpp)
    mkdir -p "$class/$name"
    cp "$here/house.h" "$class/$name/"
    sed -e "s|@HOME@|$home|g" -e "s|@HOST_TMP@|$outside|g" -e "s|@PORT@|$port|g" \
        -e "s|@OTHER@|$class/correct/main.cpp|g" -e "s|@RESULTS@|$work/results|g" \
        -e "s|@WORK_REVERSED@|$(rev <<<"$work")|g" -e "s|@USER_NAME@|$(id -un)|g" \
        -e "s|@HOST_NAME@|$(hostname)|g" "$template" >"$class/$name/main.cpp"
done
echo "// other-submission-marker-51c2" >>"$class/correct/main.cpp"
submissions=$(ls "$class" | wc -l)

rm -f /tmp/vantrel-grading-planted.txt
mkdir -p "$work/tmp"
start=$SECONDS
# Standard input and one more file open, as a grader started from a script
# might have them: reads_other must not read either.
# A marker in the grader's environment, and the grader's folders as its
# home and working folder: reads_grader must find neither.
# A mark of this run's own, which its processes outside the sandboxes carry
# (every sandbox's parent among them), to tell them from another run's.
run_mark=class-run-$$-$RANDOM
VANTREL_GRADER_SECRET=grader-secret-93b7 VANTREL_CLASS_RUN=$run_mark HOME="$work" TMPDIR="$work/tmp" timeout 900 "$work/kit/bin/vantrel-grade" -j 2 --frames 20,40 \
    --input "$source/docs/grading/input.txt" --time 8 --cpu 3 --memory 256 --processes 32 \
    --output 1M --json results.json --junit results.xml --out results \
    "$source/docs/grading/reference.cpp" "$class" >table.md 2>grade.err <"$home/secret.h" 9<"$home/secret.h"
status=$?
echo "graded $submissions submissions in $((SECONDS - start)) s"
cat table.md
[ $status -eq 1 ] || fail "vantrel-grade exited $status, expected 1 (some fail): $(tail -n 5 grade.err)"

# ---- The verdicts -------------------------------------------------------------------
expect() {
    grep -qE "^\| $1 \| $2" table.md || fail "expected the row for $1 to read \"$2\": $(grep "^| $1 " table.md)"
}
expect correct 'yes \| yes \| 2/2 \| 2/2 \| PASS \|$'
expect wrong_frame 'yes \| yes \| 1/2 \| 1/2 \| FAIL: frame 40 differs \([0-9]+ pixels\) \|$'
expect does_not_build "no \| - \| - \| 0/2 \| FAIL: does not build: main.cpp:[0-9]+:[0-9]+: error: .*drawHous.* was not declared"
expect crashes 'yes \| crashed \| - \| 0/2 \| FAIL: crashed: segmentation fault \(SIGSEGV\) \|$'
expect no_frames 'yes \| no frames \| - \| 0/2 \| FAIL: saved no frames: the program never called start\(\) and then isRunning\(\)'
expect never_asks_is_running 'yes \| no frames \| - \| 0/2 \| FAIL: its loop never calls isRunning\(\), so no frame was counted or saved and the recording stopped it \|$'
expect ignores_close 'yes \| ignored close \| 2/2 \| 2/2 \| FAIL: ignored the close request .*; its frames match \|$'
for name in deletes_files reads_other connects reads_grader; do
    expect $name 'yes \| status 1 \| - \| 0/2 \| FAIL: ended with status 1 \|$'
done
expect fork_bomb 'yes \| killed \| - \| 0/2 \| FAIL: killed at the process limit \(32 processes and threads\) \|$'
expect allocates 'yes \| killed \| - \| 0/2 \| FAIL: killed at the memory limit \(256 MB\) \|$'
expect forks_and_allocates 'yes \| killed \| - \| 0/2 \| FAIL: killed at the memory limit \(256 MB\) \|$'
# The CPU-time limit stops it, unless the machine is so busy that the time
# limit comes first.
expect loops_before_initworld 'yes \| killed \| - \| 0/2 \| FAIL: killed at the (CPU-time limit \(3 s\)|time limit \(8 s\)) \|$'
expect sleeps 'yes \| killed \| - \| 0/2 \| FAIL: killed at the time limit \(8 s\) \|$'
expect prints_gigabyte 'yes \| killed \| - \| 0/2 \| FAIL: killed at the output limit \(1 MB\) \|$'
expect includes_home "no \| - \| - \| 0/2 \| FAIL: does not build: main.cpp:[0-9:]+ fatal error: $home/secret.h: No such file or directory"

# ---- Nothing outside the sandboxes changed ----------------------------------------
for folder in "$home" "$outside"; do
    [ "$(cat "$folder/precious.txt" 2>/dev/null)" = precious ] || fail "$folder/precious.txt was deleted or changed"
    [ "$(cat "$folder/keep.txt" 2>/dev/null)" = keep ] || fail "$folder/keep.txt was deleted or changed"
    [ -e "$folder/planted.txt" ] && fail "a submission wrote $folder/planted.txt"
done
[ -e /tmp/vantrel-grading-planted.txt ] && fail "a submission wrote /tmp/vantrel-grading-planted.txt"
[ -z "$(ls -A "$work/tmp")" ] || fail "working folders were left in $work/tmp: $(ls "$work/tmp")"
[ -s "$work/connections.txt" ] && fail "a submission reached the server on 127.0.0.1:$port"
grep -rq other-submission-marker-51c2 results/reads_other/ && fail "reads_other read another submission"
grep -rq secret-marker-7f3a results/includes_home/ results/reads_other/ &&
    fail "a submission read the teacher's file: $(grep -rl secret-marker-7f3a results/)"
grep -q LEAK results/reads_grader/run.log && fail "a submission saw the grader: $(grep -m 3 LEAK results/reads_grader/run.log)"
grep -rlq grader-secret-93b7 results/ results.json results.xml &&
    fail "the grader's environment reached the results: $(grep -rl grader-secret-93b7 results/ results.json results.xml)"
size=$(stat -c %s results/prints_gigabyte/run.log)
[ "$size" -le $((1 << 20)) ] || fail "prints_gigabyte's log holds $size bytes, past the 1 MB limit"
left=$(grep -lsa "VANTREL_CLASS_RUN=$run_mark" /proc/[0-9]*/environ | cut -d / -f 3)
left+=" $(pgrep -f "$work/tmp")"
[ -z "${left// /}" ] || fail "processes left behind: $(for pid in $left; do tr '\0' ' ' </proc/"$pid"/cmdline; echo; done | head -n 5)"

# ---- JSON and JUnit, in their forms, telling what the table tells -----------------
jq -e -f "$here/results.jq" results.json >/dev/null || fail "results.json does not have the results form"
xmllint --noout --schema "$here/junit.xsd" results.xml 2>xmllint.err || fail "results.xml: $(cat xmllint.err)"
[ "$(jq '.submissions | length' results.json)" -eq "$submissions" ] ||
    fail "results.json holds $(jq '.submissions | length' results.json) submissions, not $submissions"
[ "$(xmllint --xpath 'count(//testsuite)' results.xml)" -eq "$submissions" ] ||
    fail "results.xml holds $(xmllint --xpath 'count(//testsuite)' results.xml) test suites"
while IFS='|' read -r _ name _ _ _ score result _; do
    name=$(xargs <<<"$name") result=$(sed -e 's/^ //' -e 's/ $//' -e 's/\\\(.\)/\1/g' <<<"$result")
    score=$(xargs <<<"$score")
    verdict=$(jq -r --arg n "$name" '.submissions[] | select(.name == $n) | .verdict' results.json)
    [ "$verdict" = "$result" ] || fail "$name: the JSON says \"$verdict\", the table \"$result\""
    points=$(jq -r --arg n "$name" '.submissions[] | select(.name == $n) | "\(.score)/\(.max_score)"' results.json)
    [ "$points" = "$score" ] || fail "$name: the JSON scores $points, the table $score"
    junit=$(xmllint --xpath "string(//testsuite[@name='$name']/properties/property[@name='verdict']/@value)" results.xml)
    [ "$junit" = "$result" ] || fail "$name: the JUnit file says \"$junit\", the table \"$result\""
    failed=$(xmllint --xpath "count(//testsuite[@name='$name']/testcase/failure)" results.xml)
    if [ "$result" = PASS ]; then
        [ "$failed" -eq 0 ] || fail "$name passes, but the JUnit file has $failed failures"
    else
        [ "$failed" -gt 0 ] || fail "$name fails, but the JUnit file has no failure"
    fi
    grep -qF "$(sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g' -e "s/'/\&#39;/g" <<<"${result#FAIL: }")" results/report.html ||
        fail "$name: the HTML report lacks \"$result\""
done < <(tail -n +3 table.md)

# ---- The HTML report's pictures, read back ------------------------------------------
# wrong_frame's frame 40: the reference's window lit (yellow), the
# submission's grey, the difference red there.
section=$(sed -n '/<section id="s-wrong_frame">/,/<\/section>/p' results/report.html |
    sed -n '/<h3>Frame 40/,/<\/div>/p')
mapfile -t images < <(grep -o 'data:image/png;base64,[A-Za-z0-9+/=]*' <<<"$section")
if [ ${#images[@]} -ne 3 ]; then
    fail "wrong_frame's frame 40 has ${#images[@]} images in the report, expected 3"
else
    i=0
    for expected in "255,255,0" "128,128,128" "255,0,0"; do
        base64 -d <<<"${images[$i]#data:image/png;base64,}" >"image-$i.png"
        pixel=$(convert "image-$i.png" -alpha off -format '%[fx:int(255*p{140,175}.r)],%[fx:int(255*p{140,175}.g)],%[fx:int(255*p{140,175}.b)]' info: 2>&1)
        [ "$pixel" = "$expected" ] || fail "report image $i of wrong_frame's frame 40: pixel (140, 175) is $pixel, expected $expected"
        i=$((i + 1))
    done
fi

checks_end "grading a class: every verdict right, nothing outside the sandboxes touched"
