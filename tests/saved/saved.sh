#!/usr/bin/env bash
# Saved data across two runs of a program (saved_main.cpp): in the per-user
# folder, in the working folder in the recording mode, and from a damaged
# file, which gives the defaults and one line on standard error.
#
#   saved.sh PROGRAM
set -u
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() { # WHAT EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAIL: $1: expected \"$2\", found \"$3\""; failed=1; fi
}
run() { (cd "$work/cwd" && env -u VANTREL_RECORD XDG_DATA_HOME="$work/data" HOME="$work/home" "$@"); }
mkdir -p "$work/cwd" "$work/home"

folder=$(run "$program" write)
check "the save folder is the per-user one" "$work/data/Vantrel/$(basename "$program")/" "$folder"
check "a second run reads what the first saved" "2048.25|Ann Lee|7|5" "$(run "$program" read)"
check "the folder holds the one file, whole" "saved.txt" "$(ls -A "$folder" | tr '\n' ' ' | sed 's/ $//')"

rm -rf "$work/data"
check "the recording mode saves in the working folder" "./" "$(run env VANTREL_RECORD=1 "$program" write)"
check "and reads it back there" "2048.25|Ann Lee|7|5" "$(run env VANTREL_RECORD=1 "$program" read)"
check "and leaves the per-user folder alone" "no" "$([ -e "$work/data" ] && echo yes || echo no)"

for damage in 'x broken line' 'n best score' $'n best score\tnot a number' $'t key\tbad \\q escape'; do
    printf '%s\n' "$damage" >"$work/cwd/saved.txt"
    answer=$(run env VANTREL_RECORD=1 "$program" read 2>"$work/err")
    check "damaged ($damage): the defaults" "-1|nobody|-1|5" "$answer"
    check "damaged ($damage): one line on standard error" "1" "$(grep -c 'damaged' "$work/err")"
done
exit $failed
