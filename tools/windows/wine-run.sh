#!/bin/sh
# Runs a Windows program under Wine: the emulator the Windows build's tests
# run through (CMAKE_CROSSCOMPILING_EMULATOR). Quiet (WINEDEBUG=-all) and in
# the Wine prefix ./dev windows prepares, unless WINEPREFIX says otherwise.
#
#   wine-run.sh PROGRAM.exe [ARGUMENT...]
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:=$(cd "$here/../.." && pwd)/build-windows/wine}"
: "${WINEDEBUG:=-all}"
export WINEPREFIX WINEDEBUG
for wine in /usr/lib/wine/wine64 "$(command -v wine64 2>/dev/null)" "$(command -v wine 2>/dev/null)"; do
    if [ -n "$wine" ] && [ -x "$wine" ]; then
        exec "$wine" "$@"
    fi
done
echo "wine-run.sh: Wine is not installed (apt-get install wine64 wine)" >&2
exit 127
