#!/usr/bin/env bash
# The command-line converter stopped by a signal in the middle of a conversion:
# SIGINT, SIGTERM and SIGHUP end it with the usual status (128 + signal), as does
# kill -9, and each time the old OBSBIEG is untouched with no other file beside
# it. As root the signals are sent again with /proc hidden, where the temporary
# file needs a name: then it is the signal handler that must remove it.
set -u
set -m # background jobs as in a terminal: SIGINT is not ignored
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=tests/support/checks.sh
source "$(dirname "$0")/../support/checks.sh"

mkfifo "$work/input"
mkdir "$work/out"
only_obsbieg() { [ "$(ls -A "$work/out")" = OBSBIEG ]; }
named_temporary() { [ "$(ls -A "$work/out" | grep -c '^\.kmx')" -eq 1 ]; }
hide_proc=(unshare --mount --propagation private sh -c 'mount -t tmpfs none /proc && exec "$@"' sh)

reading_input() { # pid: the converter has opened its input, so also its output
    local i
    for i in $(seq 100); do
        ls -l "/proc/$1/fd" 2>/dev/null | grep -q "$work/input" && return 0
        sleep 0.1
    done
    return 1
}

# interrupt SIGNAL STATUS WHILE_RUNNING [PREFIX...]: sends the signal to a
# conversion that waits for more of its input, after checking WHILE_RUNNING.
interrupt() {
    local signal=$1 expected=$2 while_running=$3 status
    shift 3
    local label="${1:+/proc hidden, }SIG$signal"
    printf 'old\r\n' >"$work/out/OBSBIEG"
    exec 3<>"$work/input"
    printf 'C,1,,,,,2\r\n' >&3
    "$@" "$cli" -o "$work/out/OBSBIEG" "$work/input" 3>&- &
    local pid=$!
    check "$label: converting" reading_input "$pid"
    check "$label: $while_running while converting" "$while_running"
    kill -s "$signal" "$pid"
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null && sleep 0.1; done
    kill -s KILL "$pid" 2>/dev/null
    wait "$pid"
    status=$?
    exec 3>&-
    check "$label: exit status $expected" [ "$status" -eq "$expected" ]
    check "$label: old OBSBIEG untouched" [ "$(cat "$work/out/OBSBIEG")" = $'old\r' ]
    check "$label: no other file left" only_obsbieg
}

for signal in INT:130 TERM:143 HUP:129 KILL:137; do
    interrupt "${signal%:*}" "${signal#*:}" only_obsbieg
done
if [ "$(id -u)" -eq 0 ] && "${hide_proc[@]}" true 2>/dev/null; then
    for signal in INT:130 TERM:143 HUP:129; do
        interrupt "${signal%:*}" "${signal#*:}" named_temporary "${hide_proc[@]}"
    done
else
    echo "not root: the named temporary file is not checked"
fi

checks_summary signals
