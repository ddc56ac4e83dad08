#!/usr/bin/env bash
# Starts the built RejKMX under its own Xvfb server, waits for the main window,
# types the demo recorder files into its list, presses "WYKONAJ", checks OBSBIEG
# (against kmx685-convert when it sits beside the program) and checks that a
# screenshot of the window is not blank.
#
#   smoke-test.sh <RejKMX binary> <folder for the screenshot> [--docs <png>]
#
# --docs also writes the window's picture to <png> (the README screenshot); the
# working folder is then /tmp/kavero/praca, so the status bar reads well.
set -euo pipefail

program=${1:?usage: smoke-test.sh <RejKMX binary> <output folder> [--docs <png>]}
out_dir=${2:?usage: smoke-test.sh <RejKMX binary> <output folder> [--docs <png>]}
docs_png=
if [[ ${3:-} == --docs ]]; then
  docs_png=${4:?--docs needs a file name}
fi
title="Konwersja plików formatu KMX 685 1.0"
examples=$(cd "$(dirname "$0")/../examples" && pwd)

for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "smoke: $tool is missing" >&2; exit 1; }
done

tmp=$(mktemp -d)
work=$tmp/work
if [[ -n $docs_png ]]; then
  work=/tmp/kavero/praca
  [[ -e /tmp/kavero ]] && { echo "smoke: /tmp/kavero is in the way" >&2; exit 1; }
fi
# shellcheck source=scripts/xvfb-lib.sh
source "$(dirname "$0")/xvfb-lib.sh"
xvfb_lib_name=smoke
cleanup() {
  xvfb_lib_cleanup
  rm -rf "$tmp"
  if [[ -n $docs_png ]]; then rm -rf /tmp/kavero; fi
}
trap cleanup EXIT

# A copy of the program with its own kavero.ini.
mkdir -p "$tmp/bin" "$work"
cp "$program" "$tmp/bin/RejKMX"
printf '[General]\r\nPath=%s\r\n[User]\r\nLastIndex=0\r\n' "$work" >"$tmp/bin/kavero.ini"
inputs=("$examples"/*.txt)
if [[ -n $docs_png ]]; then
  mkdir -p /tmp/kavero/pomiary
  cp "${inputs[@]}" /tmp/kavero/pomiary/
  inputs=(/tmp/kavero/pomiary/*.txt)
fi

xvfb_start "$tmp"
start_program "$tmp/bin/RejKMX" "$tmp/app.log"

window=$(wait_window "^${title}\$") || true
if [[ -z $window ]]; then
  echo "smoke: no window titled \"$title\"" >&2
  cat "$tmp/app.log" >&2
  exit 1
fi
name=$(xdotool getwindowname "$window")
[[ $name == "$title" ]] || { echo "smoke: window title is \"$name\"" >&2; exit 1; }
kill -0 "$app_pid" || { echo "smoke: RejKMX exited" >&2; exit 1; }

type_files_and_execute "$window" "${inputs[@]}"
for _ in $(seq 100); do
  [[ -s $work/OBSBIEG ]] && break
  sleep 0.1
done
[[ -s $work/OBSBIEG ]] || { echo "smoke: WYKONAJ wrote no OBSBIEG" >&2; cat "$tmp/app.log" >&2; exit 1; }
converter=$(dirname "$program")/kmx685-convert
if [[ -x $converter ]]; then
  "$converter" -o "$tmp/expected" "${inputs[@]}"
  cmp "$tmp/expected" "$work/OBSBIEG" || { echo "smoke: OBSBIEG differs from kmx685-convert" >&2; exit 1; }
fi

sleep 1 # let the buttons and the status bar repaint
import -window root "$tmp/screen.png"
import -window "$window" "$tmp/window.png"

colours=$(convert "$tmp/window.png" -format '%k' info:)
deviation=$(convert "$tmp/window.png" -format '%[fx:standard_deviation]' info:)
if ((colours <= 2)) || awk -v d="$deviation" 'BEGIN { exit !(d <= 0) }'; then
  echo "smoke: the window looks blank ($colours colours, deviation $deviation)" >&2
  exit 1
fi

mkdir -p "$out_dir"
cp "$tmp/screen.png" "$out_dir/smoke-screen.png"
cp "$tmp/window.png" "$out_dir/smoke-main-window.png"
[[ -n $docs_png ]] && cp "$tmp/window.png" "$docs_png"
echo "smoke: window \"$name\" shown, ${#inputs[@]} files converted, $colours colours; screenshots in $out_dir"
