#!/usr/bin/env bash
# Cross-builds the whole program for Windows (RejKMX.exe, one static executable,
# with kmx685-convert.exe and RejKMX.pdf), makes the NSIS installer, and tests both
# under Wine: the program driven in a real window (tests/windows/gui-test.sh) and a
# silent install and uninstall (tests/windows/installer-test.sh).
#
#   scripts/windows-gui-tests.sh [--docs PNG] [BUILD_DIR]   (default: build-windows-gui)
#
# Qt for MinGW comes from scripts/windows-qt.sh (the prebuilt archive in
# ../shared/windows when present). A native build provides the manual and the Linux
# converter the Windows one is compared with: REJKMX_HOST_BUILD (default build-ci),
# configured and built here as far as needed. --docs saves a screenshot of the
# program under Wine (README: docs/windows-wine.png).
set -euo pipefail

src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
screenshot=
if [[ ${1:-} == --docs ]]; then
    screenshot=$(realpath -m "${2:?--docs needs a file name}")
    shift 2
fi
build=$(realpath -m "${1:-$src/build-windows-gui}")
host=${REJKMX_HOST_BUILD:-$src/build-ci}
jobs=${REJKMX_JOBS:-2}
triple=x86_64-w64-mingw32
start=$SECONDS

wine64=$(command -v wine64 || true)
[[ -n $wine64 ]] || wine64=/usr/lib/wine/wine64 # Debian keeps it off PATH
for tool in $triple-g++-posix $triple-strip makensis "$wine64"; do
    command -v "$tool" >/dev/null || {
        echo "windows-gui-tests: $tool not found (scripts/setup.sh installs it)" >&2
        exit 1
    }
done

prefix=$("$src/scripts/windows-qt.sh" | tail -n 1)
echo "windows-gui-tests: Qt for MinGW in $prefix ($((SECONDS - start)) s)"

# The manual and the Linux converter from a native build.
if [[ ! -f $host/CMakeCache.txt && $host == "$src/build-ci" ]]; then
    (cd "$src" && cmake --preset ci >/dev/null)
elif [[ ! -f $host/CMakeCache.txt ]]; then
    cmake -S "$src" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$host" -j "$jobs" --target kmx685-convert rejkmx_manual >/dev/null

# Qt's toolchain file finds the prefix wherever it was unpacked and loads ours.
cmake -S "$src" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$src/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
    -DREJKMX_GUI=ON -DREJKMX_TESTS=OFF -DREJKMX_MANUAL_PDF="$host/bin/RejKMX.pdf" >/dev/null
cmake --build "$build" -j "$jobs" --target RejKMX kmx685-convert rejkmx_manual
echo "windows-gui-tests: built in $((SECONDS - start)) s"

# What the installer ships: stripped programs, the manual, a sample kavero.ini (CR LF).
stage=$build/stage
rm -rf "$stage"
mkdir -p "$stage" "$build/package"
for exe in RejKMX kmx685-convert; do
    $triple-strip -o "$stage/$exe.exe" "$build/bin/$exe.exe"
done
cp "$build/bin/RejKMX.pdf" "$stage/"
sed 's/\r*$/\r/' "$src/packaging/windows/kavero.ini" >"$stage/kavero.ini"
setup=$build/package/RejKMX-1.0-setup.exe
makensis -V2 -INPUTCHARSET UTF8 -DSTAGE="$stage" -DOUTFILE="$setup" \
    "$src/packaging/windows/RejKMX.nsi" >"$build/makensis.log" 2>&1 || {
    cat "$build/makensis.log" >&2
    exit 1
}
echo "windows-gui-tests: RejKMX.exe $(stat -c %s "$stage/RejKMX.exe") bytes stripped," \
    "installer $(stat -c %s "$setup") bytes ($((SECONDS - start)) s)"

# One Wine prefix per build folder, made once; each test stops its wineserver.
export WINEPREFIX=$build/wine-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko installer dialogs
export REJKMX_WINE64=$wine64
if [[ ! -f $WINEPREFIX/system.reg ]]; then
    DISPLAY= timeout 180 "$wine64" wineboot -i >"$build/wineboot.log" 2>&1 || {
        echo "windows-gui-tests: wineboot failed or timed out; see $build/wineboot.log" >&2
        exit 1
    }
    "$(dirname "$wine64")/wineserver" -w 2>/dev/null || true
fi

status=0
tests=$src/tests/windows
data=$src/tests/data
# On a bare X server, then under openbox (where the screenshot is taken).
for wm in bare openbox; do
    options=()
    if [[ $wm == openbox ]]; then
        options=(--wm=openbox)
        [[ -n $screenshot ]] && options+=("--png=$screenshot")
    fi
    REJKMX_FAILURE_PNG=$build/gui-test-failure-$wm.png \
        timeout 300 "$tests/gui-test.sh" "$stage" "$host/bin/kmx685-convert" "$src/examples" \
        "$data/examples.expected" "${options[@]}" || status=1
done
timeout 300 "$tests/installer-test.sh" "$setup" "$stage" "$data/worked-example.txt" \
    "$data/worked-example.expected" || status=1
echo "windows-gui-tests: whole run $((SECONDS - start)) s"
exit "$status"
