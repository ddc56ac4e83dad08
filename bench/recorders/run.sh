#!/usr/bin/env bash
# Throughput and memory of the command-line converter on the Nikon RAW, SDR and
# GSI formats (kmx685-convert --format X, report and all, as a user runs it),
# each on a generated file, against a user-space copy of the same file in the
# same run; then peak memory on a one-line GSI file.
# Usage: bench/recorders/run.sh [BUILD_DIR] [SIZE_MB] [LONG_LINE_MB]
#   LONG_LINE_MB (default 1024; 0 leaves the long line out) sizes the one-line file.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
size=${2:-200}
long=${3:-1024}
cli=$build/bin/kmx685-convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$here/../timing.sh"

printf '%-10s %7s %9s %9s %9s %6s %10s %6s %10s\n' format MB 'cat|cat' '+ sync' converter MB/s \
    'x cat|cat' 'x sync' 'peak RSS'
for format in nikon-raw sdr gsi; do
    python3 "$here/generate.py" "$format" "$size" >"$work/in"
    mb=$(python3 -c "import os; print(os.path.getsize('$work/in') / 1e6)")
    cat "$work/in" >/dev/null # warm the page cache
    # cat | cat reads and writes every byte in user space, as the conversion must.
    t_cat=$(best sh -c "cat '$work/in' | cat > '$work/cat.out'")
    # The converter's output is synced before its rename; so is this copy.
    t_sync=$(best sh -c "cat '$work/in' | cat > '$work/cat.out' && sync -d '$work/cat.out'")
    convert=("$cli" --format "$format" -o "$work/out" "$work/in")
    t_cli=$(best "${convert[@]}")
    rss=$(peak_mib "${convert[@]}")
    "${convert[@]}" -v 2>/dev/null | tail -n 1 | sed 's/^/           /'
    printf '%-10s %7.1f %8.3fs %8.3fs %8.3fs %6.0f %9.2fx %5.2fx %6.1f MiB\n' "$format" "$mb" \
        "$t_cat" "$t_sync" "$t_cli" "$(python3 -c "print($mb/$t_cli)")" \
        "$(python3 -c "print($t_cli/$t_cat)")" "$(python3 -c "print($t_cli/$t_sync)")" "$rss"
    rm -f "$work/in" "$work/out" "$work/cat.out"
done

((long > 0)) || exit 0
# One GSI line of LONG_LINE_MB: the converter keeps a bounded prefix of it.
{ printf '*110001+0000000000000001 '; head -c "$((long * 1024 * 1024))" /dev/zero | tr '\0' 'x'
  printf '\r\n'; } >"$work/long"
rss=$(peak_mib "$cli" --format gsi -o "$work/out" "$work/long")
printf '%s MiB line (gsi): peak RSS %6.1f MiB\n' "$long" "$rss"
