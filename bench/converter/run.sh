#!/usr/bin/env bash
# Converter throughput and memory against a user-space copy and awk on the same
# file, in one run; the cost of the conversion report (time and peak memory with
# and without it) on that file and on one of the same size with 20 % bad lines;
# then peak memory on one-line files of 1 GiB.
# Usage: bench/converter/run.sh [BUILD_DIR] [SIZE_MB] [LONG_LINE_MB]
#   LONG_LINE_MB (default 1024; 0 leaves the long lines out) sizes the one-line files.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
size=${2:-200}
long=${3:-1024}
cli=$build/bin/kmx685-convert
bench=$build/bin/convert_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 "$here/generate.py" "$size" >"$work/in.txt"
echo "input: $(du -m "$work/in.txt" | cut -f1) MB"
cat "$work/in.txt" >/dev/null # warm the page cache

source "$here/../timing.sh"

# cat | cat reads and writes every byte in user space, as the converter must.
t_cat=$(best sh -c "cat '$work/in.txt' | cat > '$work/cat.out'")
# The converter syncs its output before the rename; so does this copy.
t_sync=$(best sh -c "cat '$work/in.txt' | cat > '$work/cat.out' && sync -d '$work/cat.out'")
t_cli=$(best "$cli" -o "$work/cli.out" "$work/in.txt")
t_awk=$(best sh -c "mawk -f '$here/convert.awk' '$work/in.txt' > '$work/awk.out'")
cmp "$work/cli.out" "$work/awk.out" && echo "awk and converter outputs agree"
rss=$(peak_mib "$cli" -o "$work/cli.out" "$work/in.txt")
rm -f "$work/cat.out" "$work/cli.out" "$work/awk.out"

printf 'cat | cat:  %6.3f s\n' "$t_cat"
printf 'cat | cat + sync: %6.3f s\n' "$t_sync"
printf 'converter:  %6.3f s   %.2f x cat | cat, %.2f x the synced copy\n' "$t_cli" \
    "$(python3 -c "print($t_cli/$t_cat)")" "$(python3 -c "print($t_cli/$t_sync)")"
printf 'mawk:       %6.3f s   converter is %.1f x faster\n' "$t_awk" "$(python3 -c "print($t_awk/$t_cli)")"
printf 'peak RSS:   %6.1f MiB\n' "$rss"

# The report against the same conversion without it, made beside the conversion
# (the program's way with two processors) and within it; the output must be the
# same bytes. Time is wall-clock (and processor time, user + system), best of 5.
python3 "$here/generate.py" "$size" 20 >"$work/bad.txt"
measure() { # "wall cpu" in seconds, best of 5 runs of "$@"
    local wall=999999 cpu=999999 w c
    for _ in 1 2 3 4 5; do
        read -r w c < <(/usr/bin/time -f '%e %U %S' "$@" 2>&1 >/dev/null | awk '{print $1, $2 + $3}')
        wall=$(python3 -c "print(min($wall, $w))")
        cpu=$(python3 -c "print(min($cpu, $c))")
    done
    echo "$wall $cpu"
}
for name in in bad; do
    cat "$work/$name.txt" >/dev/null
    label=$([ "$name" = in ] && echo "normal file" || echo "20 % bad lines")
    entries=$("$bench" beside "$work/on.out" "$work/$name.txt" | sed 's/entries: //')
    printf 'report, %s (%s entries):\n' "$label" "$entries"
    read -r wall_off cpu_off < <(measure "$bench" off "$work/off.out" "$work/$name.txt")
    rss_off=$(peak_mib "$bench" off "$work/off.out" "$work/$name.txt")
    printf '  %-22s %6.3f s wall %6.3f s cpu %6.1f MiB\n' "without" "$wall_off" "$cpu_off" "$rss_off"
    for mode in beside within; do
        read -r wall cpu < <(measure "$bench" "$mode" "$work/on.out" "$work/$name.txt")
        rss=$(peak_mib "$bench" "$mode" "$work/on.out" "$work/$name.txt")
        cmp "$work/off.out" "$work/on.out" || { echo "the report changed the output"; exit 1; }
        printf '  %-22s %6.3f s wall %6.3f s cpu %6.1f MiB   wall x %.3f, cpu x %.3f\n' \
            "with, $mode:" "$wall" "$cpu" "$rss" "$(python3 -c "print($wall/$wall_off)")" \
            "$(python3 -c "print($cpu/$cpu_off)")"
    done
    rm -f "$work/off.out" "$work/on.out"
done
rm -f "$work/in.txt" "$work/bad.txt"

((long > 0)) || exit 0
# One line of LONG_LINE_MB: a record type the conversion does not know, and a
# station record whose bulk comes after field 7. Neither needs the bulk in memory.
bulk() { head -c "$((long * 1024 * 1024))" /dev/zero | tr '\0' 'x'; }
{ printf 'UNKNOWN'; bulk; printf '\r\n'; } >"$work/unknown.txt"
{ printf 'C,1,,,,,1.50,'; bulk; printf '\r\n'; } >"$work/after7.txt"
for name in unknown after7; do
    start=$(date +%s.%N)
    rss=$(peak_mib "$cli" -o "$work/$name.out" "$work/$name.txt")
    seconds=$(python3 -c "print($(date +%s.%N) - $start)")
    printf '%s MiB line, %-8s peak RSS %6.1f MiB, %5.2f s\n' "$long" "$name:" "$rss" "$seconds"
    rm -f "$work/$name.txt" "$work/$name.out"
done
