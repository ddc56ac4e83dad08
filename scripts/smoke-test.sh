#!/usr/bin/env bash
# Starts the built RejKMX under its own Xvfb server, waits for the main window,
# and checks a screenshot of it is not blank.
#
#   smoke-test.sh <RejKMX binary> <folder for the screenshot> [--docs <png>]
#
# --docs also writes the window's picture to <png> (the README screenshot).
set -euo pipefail

program=${1:?usage: smoke-test.sh <RejKMX binary> <output folder> [--docs <png>]}
out_dir=${2:?usage: smoke-test.sh <RejKMX binary> <output folder> [--docs <png>]}
docs_png=
if [[ ${3:-} == --docs ]]; then
  docs_png=${4:?--docs needs a file name}
fi
title="Konwersja plików formatu KMX 685 1.0"

for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "smoke: $tool is missing" >&2; exit 1; }
done

tmp=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
  [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

# A copy of the program with its own kavero.ini; OBSBIEG exists so its button
# shows the file-present picture.
mkdir "$tmp/bin" "$tmp/work"
cp "$program" "$tmp/bin/RejKMX"
printf '[General]\r\nPath=%s\r\n[User]\r\nLastIndex=0\r\n' "$tmp/work" >"$tmp/bin/kavero.ini"
: >"$tmp/work/OBSBIEG"

# Xvfb picks a free display itself and tells its number through a pipe.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s $tmp/display ]] && break
  sleep 0.1
done
[[ -s $tmp/display ]] || { echo "smoke: Xvfb did not start" >&2; cat "$tmp/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$tmp/display")"

QT_QPA_PLATFORM=xcb "$tmp/bin/RejKMX" >"$tmp/app.log" 2>&1 &
app_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name "^${title}\$" | head -n1) || true
if [[ -z $window ]]; then
  echo "smoke: no window titled \"$title\"" >&2
  cat "$tmp/app.log" >&2
  exit 1
fi
name=$(xdotool getwindowname "$window")
[[ $name == "$title" ]] || { echo "smoke: window title is \"$name\"" >&2; exit 1; }
kill -0 "$app_pid" || { echo "smoke: RejKMX exited" >&2; exit 1; }

sleep 1 # let the first paint finish
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
echo "smoke: window \"$name\" shown, $colours colours; screenshots in $out_dir"
