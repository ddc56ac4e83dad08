#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (preset
# asan, folder build-asan/) and runs the test suite under them: every test but
# those labelled slow (a 1 GB input takes minutes under the sanitizers).
#
#   scripts/sanitizer-tests.sh          REJKMX_JOBS=N sets the parallel jobs (default: all cores)
#
# AddressSanitizer and LeakSanitizer reports go to files, so a report from a
# program that a test script starts and later kills (the smoke test's RejKMX) or
# whose messages it swallows fails the run too. Undefined behaviour aborts the
# program at once (with GCC its report stays on stderr). Leaks in third-party
# libraries are suppressed in tests/sanitizers/lsan.supp.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${REJKMX_JOBS:-$(nproc)}
reports=$root/build-asan/sanitizer-reports
cd "$root"

"$root/scripts/setup.sh"
start=$SECONDS
cmake --preset asan >/dev/null
configured=$SECONDS
cmake --build --preset asan -j "$jobs"
built=$SECONDS

rm -rf "$reports"
mkdir -p "$reports"
status=0
# Appended to the preset's own options (see CMakePresets.json).
ASAN_OPTIONS="log_path=$reports/asan:log_exe_name=1" ctest --preset asan -j "$jobs" || status=$?
tested=$SECONDS

shopt -s nullglob
found=("$reports"/*)
for report in "${found[@]}"; do
    echo "=== sanitizer report $(basename "$report") ===" >&2
    head -n 80 "$report" >&2
done
((${#found[@]} == 0)) || status=1

echo "sanitizer-tests: configure $((configured - start)) s, build $((built - configured)) s," \
     "tests $((tested - built)) s; ${#found[@]} sanitizer report(s) in $reports"
if ((status == 0)); then
    echo "sanitizer-tests: PASSED"
else
    echo "sanitizer-tests: FAILED" >&2
fi
exit "$status"
