# shellcheck shell=bash
# Named checks for the shell tests: `check NAME COMMAND...` counts a pass or
# prints the failure; `checks_summary [LABEL]` prints the counts and returns
# non-zero when any check failed. Source it.
passes=0
failures=0

check() {
    local name=$1
    shift
    if "$@"; then
        passes=$((passes + 1))
    else
        echo "FAIL: $name"
        failures=$((failures + 1))
    fi
}

checks_summary() {
    echo "${1:+$1: }$passes passed, $failures failed"
    [ "$failures" -eq 0 ]
}
