# shellcheck shell=bash
# Checks that go on after a failure, for the test scripts that report every
# failed check before their verdict. Sourced.
#
#   fail MESSAGE        reports a failed check and counts it
#   fresh_folder DIR    empties DIR (making it if need be) and goes into it
#   checks_end MESSAGE  prints MESSAGE if no check failed; exits with 0 then,
#                       with 1 otherwise

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

fresh_folder() {
    rm -rf "$1"
    mkdir -p "$1" && cd "$1" || exit 1
}

checks_end() {
    [ "$failures" -eq 0 ] && echo "$1"
    exit $((failures > 0))
}
