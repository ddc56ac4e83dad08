#!/usr/bin/env bash
# Prepares a demo working folder inside the build tree and, only when none is
# there, a kavero.ini beside the executables that points at it.
# Usage: scripts/prepare-demo.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
demo=$build/demo
mkdir -p "$demo/praca" "$demo/pomiary"
cp "$root"/examples/*.txt "$demo/pomiary/"
ini=$build/bin/kavero.ini
if [ -e "$ini" ]; then
    echo "demo: keeping the existing $ini"
else
    # The suite's settings file is Windows-1250 text with CR LF line ends.
    printf '[General]\r\nObiekty=\r\nPath=%s\r\nProgramy=%s\r\n[User]\r\nLastIndex=0\r\n' \
        "$demo/praca" "$build/bin" | iconv -f UTF-8 -t CP1250 >"$ini"
    echo "demo: wrote $ini (working folder $demo/praca)"
fi
echo "demo: recorder files to try are in $demo/pomiary"
