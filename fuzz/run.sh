#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for the given number of seconds;
# fails when a target finds a crash or a difference.
# Usage: fuzz/run.sh [SECONDS_PER_TARGET]   (default 60)
# Crashing inputs land in fuzz/artifacts/; the corpora in fuzz/corpus-<target>/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$here/..
seconds=${1:-60}
build=$root/build-fuzz
start=$SECONDS
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DREJKMX_FUZZ=ON -DREJKMX_GUI=OFF -DREJKMX_TESTS=OFF >/dev/null
targets=(fuzz_converter fuzz_profile fuzz_nikon_raw fuzz_sdr fuzz_gsi)
cmake --build "$build" --target "${targets[@]}" >/dev/null
echo "fuzz: built in $((SECONDS - start)) s"
mkdir -p "$here/artifacts"
# Seeds of the other recorders' targets: their golden inputs, behind a block-size byte.
declare -A seeds=([fuzz_nikon_raw]=raw [fuzz_sdr]=sdr [fuzz_gsi]=gsi)
status=0
for target in "${targets[@]}"; do
    corpus=$here/corpus-$target
    mkdir -p "$corpus"
    if [ "$target" = fuzz_converter ]; then
        # Seeds: our sample files behind a block-size byte.
        for f in "$root"/tests/data/*.txt "$root"/tests/data/report/*.txt "$root"/examples/*.txt; do
            { printf '\x10'; cat "$f"; } >"$corpus/seed-$(basename "$f")"
        done
    elif [ -n "${seeds[$target]:-}" ]; then
        for f in "$root"/tests/data/recorders/*."${seeds[$target]}"; do
            { printf '\x10'; cat "$f"; } >"$corpus/seed-$(basename "$f")"
        done
    fi
    echo "== $target: $seconds s"
    log=$build/$target.log
    "$build/bin/$target" -max_total_time="$seconds" -max_len=4096 \
        -artifact_prefix="$here/artifacts/$target-" -print_final_stats=1 "$corpus" >"$log" 2>&1 ||
        { status=1; echo "fuzz: $target FAILED; crashing input in $here/artifacts/"; }
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==.*ERROR|SUMMARY)' "$log" || true
done
exit "$status"
