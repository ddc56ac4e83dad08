#!/usr/bin/env bash
# Converter throughput and memory against cat and awk on the same file, in one run.
# Usage: bench/converter/run.sh [BUILD_DIR] [SIZE_MB]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
size=${2:-200}
cli=$build/bin/kmx685-convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 "$here/generate.py" "$size" >"$work/in.txt"
echo "input: $(du -m "$work/in.txt" | cut -f1) MB"
cat "$work/in.txt" >/dev/null # warm the page cache

best() { # best wall time in seconds of 5 runs of "$@"
    local best=999999 t
    for _ in 1 2 3 4 5; do
        t=$(TIMEFORMAT=%R; { time "$@" >/dev/null 2>&1; } 2>&1)
        best=$(python3 -c "print(min($best, $t))")
    done
    echo "$best"
}

t_cat=$(best sh -c "cat '$work/in.txt' > '$work/cat.out'")
t_cli=$(best "$cli" -o "$work/cli.out" "$work/in.txt")
t_awk=$(best sh -c "mawk -f '$here/convert.awk' '$work/in.txt' > '$work/awk.out'")
cmp "$work/cli.out" "$work/awk.out" && echo "awk and converter outputs agree"
rss=$(/usr/bin/time -v "$cli" -o "$work/cli.out" "$work/in.txt" 2>&1 | awk '/Maximum resident/ {print $6}')

printf 'cat:        %6.3f s\n' "$t_cat"
printf 'converter:  %6.3f s   %.2f x cat   (target <= 1.6)\n' "$t_cli" "$(python3 -c "print($t_cli/$t_cat)")"
printf 'mawk:       %6.3f s   converter is %.1f x faster   (target >= 4)\n' "$t_awk" "$(python3 -c "print($t_awk/$t_cli)")"
printf 'peak RSS:   %6.1f MiB   (target <= 16)\n' "$(python3 -c "print($rss/1024)")"
