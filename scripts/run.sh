#!/usr/bin/env bash
# Installs what is missing, builds, prepares the demo working folder and starts the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
"$root/scripts/build.sh" default
"$root/scripts/prepare-demo.sh" "$build"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: converting the demo files on the command line instead."
    "$build/bin/kmx685-convert" -v "$build"/demo/pomiary/*.txt
    exit 0
fi
exec "$build/bin/RejKMX"
