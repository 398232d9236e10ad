# shellcheck shell=bash
# What the end-to-end tests share: a virtual X display (tools/testing/headless.sh),
# the program started in it, its window found, and the program ended and
# cleaned up whatever happens. Sourced by tests/*_e2e.sh first thing.
#
#   fail MESSAGE        ends the test, the message after the script's name
#                       (a script may define its own, that counts failures)
#   e2e_begin XCLOSE HEADLESS_SH OUT [TOOL...]
#                       checks the tools (Xvfb and import too), makes OUT,
#                       starts Xvfb; on exit ends $pid and Xvfb
#   e2e_window TITLE LOG
#                       right after "PROGRAM ... &": sets pid to it and
#                       window to its window, or ends the test showing LOG
#                       (the program's error output)
#   e2e_shot            takes a screenshot (a new file each time), prints its path
#   e2e_end HOW SECONDS ends the program by HOW, a key or "close" (a window
#                       manager's close request); it must end within
#                       SECONDS with status 0
#   xdo ARGS...         xdotool, bounded in time
#   alive               fails if the program has ended
#   e2e_abort MESSAGE   fails and ends the test

e2e_name=$(basename "$0" .sh)

fail() {
    echo "$e2e_name: FAIL: $*" >&2
    exit 1
}

e2e_abort() {
    fail "$@"
    exit 1
}

e2e_begin() {
    e2e_xclose=$1 e2e_out=$3
    local headless=$2 tool
    shift 3
    for tool in Xvfb import "$@"; do
        command -v "$tool" >/dev/null 2>&1 ||
            e2e_abort "$tool is not installed (./dev test installs xvfb, imagemagick, x11-utils and xdotool)"
    done
    # shellcheck source=../tools/testing/headless.sh
    . "$headless"
    mkdir -p "$e2e_out"
    pid=
    trap 'headless_end "$pid"; headless_stop' EXIT
    headless_start || e2e_abort "could not start Xvfb"
}

e2e_window() {
    pid=$! e2e_title=$1 e2e_log=$2
    if ! window=$(timeout 20 "$e2e_xclose" wait "$e2e_title" 10); then
        cat "$e2e_log" >&2
        kill -0 "$pid" 2>/dev/null || e2e_abort "the program ended before its window \"$e2e_title\" appeared"
        e2e_abort "no window titled \"$e2e_title\" appeared within 10 seconds"
    fi
}

e2e_shot() {
    local file
    file=$(mktemp "$e2e_out/${e2e_name%_e2e}-XXXX.png") || e2e_abort "cannot make a screenshot file in $e2e_out"
    headless_screenshot "$window" "$file" || e2e_abort "could not take screenshot $file"
    echo "$file"
}

xdo() { timeout 20 xdotool "$@" || e2e_abort "xdotool $* failed"; }

alive() { kill -0 "$pid" 2>/dev/null || e2e_abort "the program ended early: $(cat "$e2e_log")"; }

e2e_end() {
    local after=$1 status
    if [ "$1" = close ]; then
        after="the close request"
        timeout 10 "$e2e_xclose" close "$e2e_title" 5 || e2e_abort "could not send the close request"
    else
        xdo key "$1"
    fi
    headless_wait_exit "$pid" "$2"
    status=$?
    [ "$status" -eq 124 ] &&
        e2e_abort "still running $2 s after $after (load average $(cut -d ' ' -f 1-3 /proc/loadavg))"
    pid=
    [ "$status" -eq 0 ] || e2e_abort "exit status $status after $after: $(cat "$e2e_log")"
}
