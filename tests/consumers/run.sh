# run_briefly PROGRAM LOG: runs PROGRAM from another folder (so the files it
# opens by relative paths must be found beside it) until it has set its
# canvas up, lets it run a second, then stops it with SIGTERM, which SDL turns
# into the window's quit event. Returns the program's exit status, which must
# be 0; 1 when it never set up (20 s) or ignored the request (10 s).
# Sourced by the consumer tests.
run_briefly() {
    local program=$1 log=$2 pid status=0 tenths=0
    (cd / && exec "$program") >"$log" 2>&1 &
    pid=$!
    # SIGTERM sent before SDL is set up would just kill the program.
    until grep -qx 'initWorld called' "$log"; do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid" || status=$?
            echo "$(basename "$program") ended (status $status) before setting up: $(cat "$log")" >&2
            return 1
        fi
        if [ $tenths -ge 200 ]; then
            kill -KILL "$pid" 2>/dev/null
            wait "$pid" 2>/dev/null || true
            echo "$(basename "$program") did not set up within 20 s: $(cat "$log")" >&2
            return 1
        fi
        sleep 0.1
        tenths=$((tenths + 1))
    done
    sleep 1
    kill -TERM "$pid" 2>/dev/null
    tenths=0
    while kill -0 "$pid" 2>/dev/null && [ $tenths -lt 100 ]; do
        sleep 0.1
        tenths=$((tenths + 1))
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null || true
        echo "$(basename "$program") was still running 10 s after SIGTERM" >&2
        return 1
    fi
    wait "$pid" || status=$?
    echo "$(basename "$program") ended with status $status"
    [ $status -eq 0 ] || cat "$log" >&2
    return $status
}
