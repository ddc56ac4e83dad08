#!/usr/bin/env bash
# Installs what is missing and builds the project with a CMake preset:
#   scripts/build.sh [PRESET]      default: "default" (RelWithDebInfo, into build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=${1:-default}
"$root/scripts/setup.sh"
cd "$root"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)"
