#!/usr/bin/env bash
# Installs every Debian 12 package the project needs to build, run and test.
# Idempotent: only missing packages are installed, and apt-get update runs
# only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-format
  libgtest-dev googletest
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-pdf-dev libqscintilla2-qt6-dev
  qt6-translations-l10n qt6-l10n-tools libgl-dev
  fonts-liberation fonts-dejavu-core
  xvfb xdotool xauth x11-xkb-utils x11-utils xclip openbox libx11-dev imagemagick poppler-utils qpdf desktop-file-utils
  cups cups-client cups-ipp-utils printer-driver-cups-pdf
  time mawk strace
  lintian
  g++-mingw-w64-x86-64-posix wine64
  nsis fonts-wine xclip x11-xserver-utils zstd xz-utils patch
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  echo "setup: all packages present"
  exit 0
fi

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "setup: run as root or install sudo" >&2; exit 1; }
  sudo_cmd=(sudo)
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "setup: done"
