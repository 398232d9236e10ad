#!/usr/bin/env bash
# Runs a program under valgrind's memcheck and fails when memcheck blames the
# framework's own code: a block definitely lost, or a memory error (invalid
# read or write, use of uninitialised memory, bad free...), whose stack has a
# frame in one of the project's source directories. Findings wholly inside
# third-party libraries are listed but do not fail the check.
#
#   memcheck.sh SOURCE_DIR PROGRAM [ARGUMENT...]
set -uo pipefail

if [ $# -lt 2 ]; then
    echo "usage: $0 SOURCE_DIR PROGRAM [ARGUMENT...]" >&2
    exit 2
fi
source_dir=$(cd "$1" && pwd)
shift
command -v valgrind >/dev/null 2>&1 || {
    echo "valgrind was not found: install valgrind to run this check" >&2
    exit 1
}

xml=$(mktemp)
trap 'rm -f "$xml"' EXIT
valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
    --errors-for-leak-kinds=definite --num-callers=50 \
    --xml=yes --xml-file="$xml" "$@"
status=$?
if [ $status -ne 0 ]; then
    echo "memcheck: the program exited with status $status" >&2
    exit 1
fi

# One <error> element per finding; its frames carry <dir> when debug
# information names a source file.
awk -v root="$source_dir" '
    function report(where) {
        printf "memcheck: %s %s, %d bytes, allocated or raised at:%s\n", where, kind, bytes, frames
    }
    /<error>/ { inError = 1; kind = ""; bytes = 0; own = 0; frames = ""; next }
    inError && /<kind>/ { gsub(/.*<kind>|<\/kind>.*/, ""); kind = $0; next }
    inError && /<leakedbytes>/ { gsub(/[^0-9]/, ""); bytes = $0 + 0; next }
    inError && /<obj>/ { gsub(/.*<obj>|<\/obj>.*/, ""); obj = $0; next }
    inError && /<fn>/ {
        gsub(/.*<fn>|<\/fn>.*/, "")
        gsub(/&lt;/, "<"); gsub(/&gt;/, ">"); gsub(/&amp;/, "\\&")
        fn = $0
        next
    }
    inError && /<dir>/ {
        gsub(/.*<dir>|<\/dir>.*/, "")
        dir = $0
        for (i = 1; i <= split("canvas types app tests bench fuzz", parts, " "); i++) {
            if (dir == root "/" parts[i] || index(dir, root "/" parts[i] "/") == 1) own = 1
        }
        next
    }
    inError && /<\/frame>/ {
        if (length(frames) < 1500) frames = frames "\n    " (fn != "" ? fn : "(" obj ")")
        fn = ""; obj = ""
        next
    }
    /<\/error>/ {
        inError = 0
        if (kind == "Leak_DefinitelyLost") {
            if (own) { ownLeak += bytes; report("FRAMEWORK") } else { otherLeak += bytes; report("third-party") }
        } else if (own) {
            ownErrors++; report("FRAMEWORK")
        } else {
            otherErrors++; report("third-party")
        }
    }
    END {
        printf "memcheck: definitely lost from the framework: %d bytes; from third-party code only: %d bytes\n", ownLeak, otherLeak
        printf "memcheck: memory errors in the framework: %d; in third-party code only: %d\n", ownErrors, otherErrors
        exit (ownLeak > 0 || ownErrors > 0) ? 1 : 0
    }
' "$xml"
