#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the Release build with
# warnings as errors (preset ci, folder build-ci/), the Windows builds under Wine,
# the whole suite under the sanitizers, 40 s of fuzzing for each fuzz target,
# and a check of the code's format.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/build.sh" ci
status=0
ctest --preset ci || status=$?
# The Windows programs, cross-built and run under Wine; then the whole program,
# its installer and its window under Wine.
"$root/scripts/wine-tests.sh" || status=$?
"$root/scripts/windows-gui-tests.sh" || status=$?
# Everything again under AddressSanitizer and UndefinedBehaviorSanitizer.
"$root/scripts/sanitizer-tests.sh" || status=$?
# New inputs against the plain rendering of the rules and the kavero.ini reader.
"$root/fuzz/run.sh" 40 || status=$?
"$root/scripts/check-format.sh" || status=$?
exit "$status"
