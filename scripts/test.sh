#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/build.sh"
status=0
(cd "$build" && ctest --output-on-failure -j2 --timeout 600) || status=$?
# The command-line converter as a Windows program, cross-built and run under Wine.
"$root/scripts/wine-tests.sh" || status=$?
# Everything again under AddressSanitizer and UndefinedBehaviorSanitizer.
"$root/scripts/sanitizer-tests.sh" || status=$?
exit "$status"
