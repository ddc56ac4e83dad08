#!/usr/bin/env bash
# The road of one conversion, driven as a user drives it, under its own Xvfb:
# three recorder files typed into the list, "WYKONAJ", OBSBIEG checked byte for
# byte, the OBSBIEG button opens the editor, a line with Polish letters typed on
# the keyboard and saved with "Zapisz", the file's bytes checked (Windows-1250,
# CR LF everywhere, the rest unchanged), the editor closed, and the button's
# picture checked to still show the file. Then "Leica GSI" clicked, the list
# cleared with "---", a GSI file typed in, "WYKONAJ", and OBSBIEG checked again.
#
#   conversion-test.sh <RejKMX> <e2e-close-window> <examples folder> <expected OBSBIEG>
#                      <GSI file> <its expected OBSBIEG> [out folder] [--wm=openbox]
#
# The out folder, when given, receives the screenshots. With --wm=openbox the
# road runs under a window manager, as on a user's desktop.
set -euo pipefail
export LC_ALL=C.UTF-8

program=${1:?usage: conversion-test.sh <RejKMX> <close-window> <examples> <expected> <gsi> <gsi expected> [out]}
close_window=${2:?missing close-window helper}
examples=${3:?missing examples folder}
expected=${4:?missing expected OBSBIEG}
gsi_file=${5:?missing GSI file}
gsi_expected=${6:?missing the expected OBSBIEG of the GSI file}
out_dir=${7:-}
xvfb_lib_name=e2e-conversion
source "$(dirname "$0")/../../scripts/xvfb-lib.sh"
xvfb_lib_require Xvfb xdotool import compare iconv setxkbmap

title="Konwersja plików formatu KMX 685 1.0"
# Every Polish letter, upper and lower case.
polish_line="Zażółć gęślą jaźń ĄĆĘŁŃÓŚŹŻ"
button_area=129x41+152+240 # Przycisk1, "OBSBIEG", in the window's client area

e2e_scratch "$out_dir" e2e-failure.png

# The working folder's name has Polish letters: kavero.ini carries it in Windows-1250.
work="$tmp/Pomiary Łódź"
mkdir -p "$work" "$tmp/pomiary"
install_program "$program" "$tmp/bin" "$work"
cp "$examples"/*.txt "$tmp/pomiary/"
inputs=("$tmp/pomiary"/*.txt)
((${#inputs[@]} == 3)) || fail "expected three example files, found ${#inputs[@]}"

xvfb_start "$tmp"
wm_from_args "$tmp" "$@"
# A Polish keyboard, so the letters are typed with AltGr as a surveyor types them.
setxkbmap pl || fail "cannot set the Polish keyboard layout"
[[ $(setxkbmap -query) == *"layout:     pl"* ]] || fail "the Polish keyboard layout did not take"
start_program "$tmp/bin/RejKMX" "$tmp/app.log"
window=$(wait_window "^${title}\$") || true
[[ -n $window ]] || fail "no window titled \"$title\""

# Pictures are taken with the pointer parked away from the buttons, so no hover
# highlight shows.
park_pointer() { xdotool mousemove 1000 740; sleep 0.5; }
park_pointer
crop_window "$window" "$button_area" "$tmp/button-no-file.png"

type_files_and_execute "$window" "${inputs[@]}"
wait_for 10 test -s "$work/OBSBIEG" || fail "WYKONAJ wrote no OBSBIEG"
cmp "$expected" "$work/OBSBIEG" || fail "OBSBIEG differs from $expected"

park_pointer
crop_window "$window" "$button_area" "$tmp/button-file.png"
if compare -metric AE "$tmp/button-no-file.png" "$tmp/button-file.png" null: 2>/dev/null; then
  fail "the OBSBIEG button looks the same with and without the file"
fi

# The OBSBIEG button opens the editor on top, titled with the file's full path.
xdotool mousemove --window "$window" 216 260 click 1
editor=$(wait_window "/OBSBIEG") || true
[[ -n $editor ]] || fail "the OBSBIEG button opened no editor"
editor_title=$(window_title "$editor")
[[ $editor_title == "$work/OBSBIEG" ]] || fail "editor title is \"$editor_title\""
editor_on_top() { [[ $(top_window) == "$editor" ]]; }
wait_for 5 editor_on_top || fail "the editor opened under $(window_title "$(top_window)")"

# A new first line: the caret starts at the top; Return breaks the line with
# the file's own CR LF.
xdotool mousemove --window "$editor" 200 200 click 1
xdotool key --delay 20 ctrl+Home
xdotool type --delay 10 "$polish_line"
xdotool key Return
xdotool mousemove --window "$editor" 62 12 click 1 # "Zapisz", ToolbarButton976
{ printf '%s\r\n' "$polish_line" | iconv -f UTF-8 -t CP1250; cat "$expected"; } >"$tmp/edited"
wait_for 10 cmp -s "$tmp/edited" "$work/OBSBIEG" || {
  cmp "$tmp/edited" "$work/OBSBIEG" || true
  od -c "$work/OBSBIEG" | head -n 5 >&2
  fail "the saved OBSBIEG is not the Windows-1250 line followed by the old text"
}
lf=$(tr -cd '\n' <"$work/OBSBIEG" | wc -c)
crlf=$(grep -c $'\r$' "$work/OBSBIEG")
((lf == crlf)) || fail "$lf line ends, only $crlf of them CR LF"
[[ $(ls -A "$work") == OBSBIEG ]] || fail "stray files in the working folder: $(ls -A "$work" | tr "\n" " ")"
import -window "$editor" "$tmp/editor.png"

"$close_window" "$editor"
wait_no_window "$editor" || fail "the editor did not close"
park_pointer
crop_window "$window" "$button_area" "$tmp/button-after-editor.png"
compare -metric AE "$tmp/button-file.png" "$tmp/button-after-editor.png" null: 2>/dev/null ||
  fail "the OBSBIEG button no longer shows the file after the editor closed"

# Another recorder: "Leica GSI" (RadioGroup1Item3) clicked on its circle, the
# list cleared with "---", the GSI file typed in and converted.
xdotool mousemove --window "$window" 22 292 click 1
xdotool mousemove --window "$window" 527 190 click 1
cp "$gsi_file" "$tmp/pomiary/"
type_files_and_execute "$window" "$tmp/pomiary/$(basename "$gsi_file")"
wait_for 10 cmp -s "$gsi_expected" "$work/OBSBIEG" || {
  cmp "$gsi_expected" "$work/OBSBIEG" || true
  fail "WYKONAJ with \"Leica GSI\" did not write the GSI file's OBSBIEG"
}

"$close_window" "$window"
program_ended() { ! kill -0 "$app_pid" 2>/dev/null; }
wait_for 10 program_ended || fail "RejKMX did not end when its window closed"
wait "$app_pid" || fail "RejKMX ended with status $?"
app_pid=

if [[ -n $out_dir ]]; then
  mkdir -p "$out_dir"
  cp "$tmp"/button-*.png "$tmp/editor.png" "$out_dir/"
fi
echo "e2e-conversion: ${#inputs[@]} files converted, the editor saved, the button kept its" \
  "picture, a GSI file converted as \"Leica GSI\""
