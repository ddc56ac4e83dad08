# shellcheck shell=bash
# Timing and memory helpers of the benchmark scripts. Source it.

best() { # best wall time in seconds of 5 runs of "$@"
    local best=999999 t
    for _ in 1 2 3 4 5; do
        t=$(TIMEFORMAT=%R; { time "$@" >/dev/null 2>&1; } 2>&1)
        best=$(python3 -c "print(min($best, $t))")
    done
    echo "$best"
}

peak_mib() { # peak resident memory of "$@" in MiB
    /usr/bin/time -v "$@" 2>&1 >/dev/null | awk '/Maximum resident/ {printf "%.1f", $6 / 1024}'
}
