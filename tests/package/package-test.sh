#!/usr/bin/env bash
# Builds the Debian package of a build folder with cpack, unpacks it into a
# scratch root with dpkg -x and checks it as a user would meet it: lintian, its
# control data, its files, the desktop entry and icon, the converter's manual page
# against its usage text, the converter and the program started from there under
# Xvfb through the /usr/bin link, with kavero.ini beside the real executable.
#
#   package-test.sh <build folder> [<cpack command>]
set -euo pipefail

build=$(cd "${1:?usage: package-test.sh <build folder> [cpack]}" && pwd)
cpack_cmd=${2:-cpack}
here=$(cd "$(dirname "$0")" && pwd)
source_root=$(cd "$here/../.." && pwd)
out_dir=$build/package-test
main_title="Konwersja plików formatu KMX 685 1.0"

fail() {
  echo "package: $*" >&2
  exit 1
}

for tool in "$cpack_cmd" dpkg-deb dpkg-query lintian desktop-file-validate readelf Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || fail "$tool is missing"
done
[[ -f $build/CPackConfig.cmake ]] || fail "no CPackConfig.cmake in $build (cmake/Packaging.cmake not included?)"

tmp=$(mktemp -d)
# shellcheck source=scripts/xvfb-lib.sh
source "$source_root/scripts/xvfb-lib.sh"
xvfb_lib_name=package
cleanup() {
  xvfb_lib_cleanup
  rm -rf "$tmp"
}
trap cleanup EXIT
root=$tmp/root
bin=$root/opt/rejkmx/bin
work=$tmp/praca
mkdir -p "$root" "$work" "$out_dir"

build_package() {
  (cd "$build" && "$cpack_cmd" --config CPackConfig.cmake -G DEB -B "$tmp/cpack") >"$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log" >&2; fail "cpack failed"; }
  local debs=("$tmp"/cpack/*.deb)
  ((${#debs[@]} == 1)) && [[ -f ${debs[0]} ]] || fail "cpack made ${#debs[@]} packages"
  deb=${debs[0]}
  cp "$deb" "$out_dir/"
  echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
}

# Any error or warning fails. The /opt layout is excused by the overrides the
# package ships (packaging/lintian-overrides), so anyone running lintian on the
# package sees the same verdict.
check_lintian() {
  lintian --fail-on error,warning "$deb" >"$tmp/lintian.log" 2>&1 ||
    { grep -v 'running with root privileges' "$tmp/lintian.log" >&2; fail "lintian reports errors or warnings"; }
}

# Every dependency must name an installed package of a fitting version, so the
# package installs on a machine set up like this one.
check_dependencies() {
  local field=$1 depends entry alternative name op version status installed ok
  depends=$(dpkg-deb -f "$deb" "$field")
  [[ -n $depends ]] || fail "no $field field"
  IFS=',' read -ra entries <<<"$depends"
  for entry in "${entries[@]}"; do
    ok=
    IFS='|' read -ra alternatives <<<"$entry"
    for alternative in "${alternatives[@]}"; do
      read -r name op version <<<"$(sed -E 's/[()]/ /g' <<<"$alternative")"
      status=$(dpkg-query -W -f='${Status}' "$name" 2>/dev/null || true)
      [[ $status == "install ok installed" ]] || continue
      installed=$(dpkg-query -W -f='${Version}' "$name")
      if [[ -z $op ]] || dpkg --compare-versions "$installed" "$op" "$version"; then
        ok=1
      fi
    done
    [[ -n $ok ]] || fail "$field entry \"${entry# }\" is not met on this machine"
  done
}

check_control() {
  [[ $(dpkg-deb -f "$deb" Package) == rejkmx ]] || fail "package name is not rejkmx"
  [[ -n $(dpkg-deb -f "$deb" Maintainer) ]] || fail "no Maintainer field"
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  # Libraries the program links and data it loads by name at run time.
  for needed in libqt6widgets6 libqt6printsupport6 libqt6pdfwidgets6 libqt6svg6 \
    libqscintilla2-qt6 qt6-translations-l10n fonts-liberation; do
    [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
  done
  check_dependencies Depends
}

check_files() {
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort >"$tmp/files"
  cat >"$tmp/expected" <<'EOF'
opt/rejkmx/bin/RejKMX
opt/rejkmx/bin/RejKMX.pdf
opt/rejkmx/bin/kmx685-convert
usr/bin/kmx685-convert
usr/bin/rejkmx
usr/share/applications/rejkmx.desktop
usr/share/doc/rejkmx/changelog.Debian.gz
usr/share/doc/rejkmx/copyright
usr/share/icons/hicolor/scalable/apps/rejkmx.svg
usr/share/lintian/overrides/rejkmx
usr/share/man/man1/kmx685-convert.1.gz
usr/share/man/man1/rejkmx.1.gz
EOF
  diff -u "$tmp/expected" "$tmp/files" >&2 || fail "the package holds other files than expected"

  dpkg -x "$deb" "$root"
  [[ -x $bin/RejKMX && -x $bin/kmx685-convert ]] || fail "programs are not executable"
  [[ $(head -c 5 "$bin/RejKMX.pdf") == "%PDF-" ]] || fail "RejKMX.pdf is not a PDF"
  # The links are absolute; in the scratch root they are pointed at the unpacked
  # programs, so these still start through a link, as on an installed system.
  for link in rejkmx:RejKMX kmx685-convert:kmx685-convert; do
    [[ $(readlink "$root/usr/bin/${link%%:*}") == "/opt/rejkmx/bin/${link##*:}" ]] ||
      fail "/usr/bin/${link%%:*} does not lead to /opt/rejkmx/bin/${link##*:}"
    ln -sfn "$bin/${link##*:}" "$root/usr/bin/${link%%:*}"
  done
  for program in RejKMX kmx685-convert; do
    ! readelf -S "$bin/$program" | grep '\.debug_info' >/dev/null || fail "$program is not stripped"
    ! ldd "$bin/$program" | grep 'not found' >&2 || fail "$program misses libraries"
  done
}

check_desktop_entry() {
  local entry=$root/usr/share/applications/rejkmx.desktop
  desktop-file-validate "$entry" >&2 || fail "the desktop entry is not valid"
  value() { sed -n "s/^$1=//p" "$entry"; }
  [[ $(value Name) == "Konwersja plików KMX 685" ]] || fail "desktop entry name: $(value Name)"
  [[ -L $root/usr/bin/$(value Exec) ]] || fail "desktop entry runs \"$(value Exec)\", not a packaged command"
  [[ $(value Icon) == rejkmx ]] || fail "desktop entry icon: $(value Icon)"
  cmp "$root/usr/share/icons/hicolor/scalable/apps/rejkmx.svg" "$source_root/packaging/rejkmx.svg" ||
    fail "the icon is not ours"
}

# Option names (-x, --xx) of the usage text's option lines, and of the lines after
# .TP in the manual page's OPTIONS section.
usage_options() {
  awk '/^  -/ { for (i = 1; i <= NF && $i ~ /^-/; i++) { sub(/,$/, "", $i); print $i } }' | sort
}
page_entries() {
  awk -v section="$1" '/^\.SH/ { inside = ($0 == ".SH " section) } inside && after { print } { after = /^\.TP/ }' |
    grep -oE "$2" | sed 's|\\||g' | sort
}

# The manual page must name exactly the options and exit statuses the program has.
check_manual_page() {
  local page=$tmp/kmx685-convert.1 usage
  gzip -dc "$root/usr/share/man/man1/kmx685-convert.1.gz" >"$page"
  usage=$("$bin/kmx685-convert" --help)
  diff -u <(usage_options <<<"$usage") <(page_entries OPTIONS '\\-(\\-)?[a-z][a-z0-9-]*' <"$page") >&2 ||
    fail "the options of kmx685-convert.1 differ from kmx685-convert --help"
  diff -u <(sed -n 's/^Exit status: //p' <<<"$usage" | grep -oE '(^|, )[0-9]+' | tr -d ', ' | sort) \
    <(page_entries "EXIT STATUS" '^\.B [0-9]+$' <"$page" | tr -d '.B ') >&2 ||
    fail "the exit statuses of kmx685-convert.1 differ from kmx685-convert --help"
}

# The converter through its link, without -o: it must find the kavero.ini beside
# the real executable and write OBSBIEG into that working folder.
check_converter() {
  printf '[General]\r\nPath=%s\r\n[User]\r\nLastIndex=0\r\n' "$work" >"$bin/kavero.ini"
  local inputs=("$source_root"/examples/*.txt)
  "$root/usr/bin/kmx685-convert" "${inputs[@]}" || fail "the packaged converter failed"
  "$build/bin/kmx685-convert" -o "$tmp/expected-OBSBIEG" "${inputs[@]}"
  cmp "$tmp/expected-OBSBIEG" "$work/OBSBIEG" || fail "OBSBIEG from the package differs from the build's"
}

# A rendered manual page is white paper; the help window's error text sits on
# the grey of the window, so a missing manual leaves almost no white.
check_help_window() {
  local window=$1 white
  sleep 1
  import -window "$window" "$out_dir/package-help.png"
  white=$(convert "$out_dir/package-help.png" -fill black +opaque white -fill white -opaque white \
    -format '%[fx:mean]' info:)
  awk -v w="$white" 'BEGIN { exit !(w >= 0.3) }' ||
    fail "the help window shows no manual page (white fraction $white)"
}

check_program_in_place() {
  xvfb_start "$tmp"
  start_program "$root/usr/bin/rejkmx" "$tmp/app.log"
  local main editor help
  main=$(wait_window "^${main_title}\$") || true
  [[ -n $main ]] || { cat "$tmp/app.log" >&2; fail "no window titled \"$main_title\""; }
  xdotool search --class '^RejKMX$' | grep -x "$main" >/dev/null ||
    fail "the window's class does not match StartupWMClass=RejKMX"

  # The OBSBIEG button opens an editor titled with the working folder of kavero.ini.
  xdotool mousemove --window "$main" 216 260 click 1
  editor=$(wait_window "^$work/OBSBIEG") || true
  [[ -n $editor ]] || { import -window root "$out_dir/package-screen.png"; fail "no editor on $work/OBSBIEG"; }
  xdotool windowunmap --sync "$editor"

  # The help button finds the manual beside the real executable.
  xdotool mousemove --window "$main" 60 48 click 1
  help=$(wait_window "^Pomoc") || true
  [[ -n $help ]] || { import -window root "$out_dir/package-screen.png"; fail "no help window"; }
  check_help_window "$help"
  kill -0 "$app_pid" || fail "RejKMX exited"
}

build_package
check_lintian
check_control
check_files
check_desktop_entry
check_manual_page
check_converter
# The unpacked program through the common smoke test: conversion and a drawn window.
"$source_root/scripts/smoke-test.sh" "$bin/RejKMX" "$out_dir"
check_program_in_place
echo "package: $(basename "$deb") unpacked, converter and program run from it; pictures in $out_dir"
