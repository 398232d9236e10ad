#!/bin/sh
# Runs a Windows program under Wine: the emulator the Windows build's tests
# run through (CMAKE_CROSSCOMPILING_EMULATOR). Quiet (WINEDEBUG=-all) and in
# the Wine prefix ./dev windows prepares, unless WINEPREFIX says otherwise.
#
#   wine-run.sh PROGRAM.exe [ARGUMENT...]
#
# Wine can fail to start a process at all, most often on a loaded machine:
# the test then ends at once with no output, though nothing of the program
# ran. With VANTREL_WINE_RETRY=1 (the test programs, which carry the start
# marker of tests/started_marker.cpp) that one case is told apart exactly:
# the program's first act is to create the file VANTREL_STARTED_FILE names.
# A program that ended without creating it never started and is started
# again, once, saying so; a program that started and failed is never run
# again. VANTREL_WINE names another loader (the tests of this script).
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:=$(cd "$here/../../.." && pwd)/build-windows/wine}"
: "${WINEDEBUG:=-all}"
export WINEPREFIX WINEDEBUG
wine=${VANTREL_WINE:-}
if [ -z "$wine" ]; then
    for candidate in /usr/lib/wine/wine64 "$(command -v wine64 2>/dev/null)" \
        "$(command -v wine 2>/dev/null)"; do
        if [ -n "$candidate" ] && [ -x "$candidate" ]; then
            wine=$candidate
            break
        fi
    done
fi
if [ -z "$wine" ]; then
    echo "wine-run.sh: Wine is not installed (apt-get install wine64 wine)" >&2
    exit 127
fi
if [ "${VANTREL_WINE_RETRY:-}" != 1 ]; then
    exec "$wine" "$@"
fi

marker=$(mktemp "${TMPDIR:-/tmp}/vantrel-started.XXXXXX") || exit 1
trap 'rm -f "$marker"' EXIT
trap 'exit 143' TERM INT
# Wine shows the Unix file system as drive Z:.
VANTREL_STARTED_FILE="Z:$(printf '%s' "$marker" | tr / '\\')"
export VANTREL_STARTED_FILE
attempt=1
while :; do
    rm -f "$marker"
    "$wine" "$@"
    status=$?
    if [ "$status" -eq 0 ] || [ -e "$marker" ] || [ $attempt -eq 2 ]; then
        break
    fi
    echo "wine-run.sh: Wine ended $1 with status $status before any of the program ran (Wine did not start it); starting it again, once" >&2
    attempt=2
done
if [ "$status" -ne 0 ] && [ ! -e "$marker" ]; then
    echo "wine-run.sh: Wine did not start $1 twice in a row (status $status); giving up" >&2
fi
exit "$status"
