#!/usr/bin/env bash
# The windows as a user meets them on a desktop, driven with real key presses
# and clicks under its own Xvfb, once bare and once under openbox:
#  - the keyboard alone: two recorder files typed into the list, Tab and
#    Shift+Tab along Memo1, +, -, ---, RadioGroup1, WYKONAJ, Zamknij; Shift+Tab
#    enters the group at the chosen "KMX 685", where Space keeps it chosen, and
#    Space on "WYKONAJ"; OBSBIEG checked each time;
#  - the OBSBIEG button opens the editor on top of the main window, which keeps
#    the keyboard;
#  - every window shows exactly its own title and carries the program's icon;
#  - closing the program with an unsaved editor and three help windows asks
#    first: "Anuluj" leaves every window open, "Nie" ends the program.
#
#   windows-test.sh <RejKMX> <e2e-close-window> <kmx685-convert> <examples folder>
#                   [--out <folder>] [--wm=openbox] [--docs <png>]
#
# --docs writes a picture of the main window with the editor on top to <png>.
set -euo pipefail
export LC_ALL=C.UTF-8

usage="usage: windows-test.sh <RejKMX> <close-window> <kmx685-convert> <examples> [options]"
program=${1:?$usage}
close_window=${2:?$usage}
converter=${3:?$usage}
examples=${4:?$usage}
shift 4
out_dir= docs_png=
args=("$@")
while (($#)); do
  case $1 in
    --out) out_dir=${2:?--out needs a folder}; shift ;;
    --docs) docs_png=${2:?--docs needs a file name}; shift ;;
  esac
  shift
done
xvfb_lib_name=e2e-windows
source "$(dirname "$0")/../../scripts/xvfb-lib.sh"
xvfb_lib_require Xvfb xdotool xprop xwininfo import compare

title="Konwersja plików formatu KMX 685 1.0"
status_area=552x19+0+386 # StatusBar1 in the main window's client area

e2e_scratch "$out_dir" e2e-windows-failure.png

work="$tmp/praca"
mkdir -p "$work"
install_program "$program" "$tmp/bin" "$work"
inputs=("$examples"/*.txt)
"$converter" -o "$tmp/first" "${inputs[0]}"
"$converter" -o "$tmp/both" "${inputs[0]}" "${inputs[1]}"

xvfb_start "$tmp"
wm_from_args "$tmp" "${args[@]}"
start_program "$tmp/bin/RejKMX" "$tmp/app.log"
main=$(wait_window "^${title}\$") || true
[[ -n $main ]] || fail "no window titled \"$title\""
xdotool mousemove 1000 740

expect_title() {
  local got
  got=$(window_title "$1")
  [[ $got == "$2" ]] || fail "a window is titled \"$got\", not \"$2\""
}
expect_icon() { has_icon "$1" || fail "the window \"$(window_title "$1")\" has no icon"; }
expect_title "$main" "$title"
expect_icon "$main"

# The status bar shows the summary once a conversion has ended and the
# window takes keys again.
snap_status() { crop_window "$main" "$status_area" "$1"; }
status_changed() {
  snap_status "$tmp/status-now.png"
  ! compare -metric AE "$1" "$tmp/status-now.png" null: 2>/dev/null
}
converted() {
  local before=$1 expected=$2
  wait_for 15 status_changed "$before" || fail "$3: no conversion ended"
  cmp -s "$expected" "$work/OBSBIEG" || fail "$3: OBSBIEG is not the conversion of the list"
}

# The keyboard alone. The list has the focus when the window gets the keyboard.
focus_window "$main"
snap_status "$tmp/status-0.png"
xdotool type --delay 5 "${inputs[0]}"
# Shift+Tab enters RadioGroup1 from below at the chosen "KMX 685", not at its last item.
xdotool key --delay 50 shift+Tab shift+Tab shift+Tab space Tab space
converted "$tmp/status-0.png" "$tmp/first" "Shift+Tab from the list round to the group and WYKONAJ"
snap_status "$tmp/status-1.png"
xdotool key --delay 50 shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab ctrl+End Return
xdotool type --delay 5 "${inputs[1]}"
xdotool key --delay 50 Tab Tab Tab Tab Tab space
converted "$tmp/status-1.png" "$tmp/both" "Shift+Tab back to the list, a second file"

# The OBSBIEG button: the editor comes up on top, the main window keeps the keyboard.
xdotool mousemove --window "$main" 216 260 click 1
editor=$(wait_window "/praca/OBSBIEG") || true
[[ -n $editor ]] || fail "the OBSBIEG button opened no editor"
expect_title "$editor" "$work/OBSBIEG"
expect_icon "$editor"
xdotool mousemove 1000 740
editor_on_top() { [[ $(top_window) == "$editor" && $(active_window) == "$main" ]]; }
wait_for 5 editor_on_top ||
  fail "after the OBSBIEG button, $(top_window) is on top and $(active_window) active" \
    "(editor $editor, main window $main)"
if [[ -n $docs_png ]]; then
  sleep 0.5 # the decorations settle
  import -window root -crop 556x428+0+0 +repage "$docs_png" # the main window's frame
fi

# The search dialog, and an unsaved change in the editor.
xdotool mousemove --window "$editor" 287 12 click 1 # "Szukaj", ToolbarButton9712
search=$(wait_window '^Szukaj') || true
[[ -n $search ]] || fail "Szukaj opened no dialog"
expect_title "$search" "Szukaj..."
focus_window "$search"
xdotool key Escape
xdotool mousemove --window "$editor" 200 200 click 1
xdotool key ctrl+Home
xdotool type "x"

# Three help windows, each on top when it opens.
help_windows() { xdotool search --onlyvisible --name '^Pomoc$' 2>/dev/null || true; }
helps_open() { (($(help_windows | wc -l) == $1)); }
for count in 1 2 3; do
  focus_window "$main"
  xdotool mousemove --window "$main" 60 48 click 1 # InfoBtn1
  wait_for 10 helps_open "$count" || fail "help window $count did not open"
done
helps=$(help_windows)
for help in $helps; do
  expect_title "$help" "Pomoc"
  expect_icon "$help"
done
grep -qx "$(top_window)" <<<"$helps" || fail "the newest help window is not on top"

# Closing the program: the editor asks first, and "Anuluj" closes nothing.
answer_question() {
  local box
  "$close_window" "$main"
  box=$(wait_window '^Warning$') || true
  [[ -n $box ]] || fail "closing asked no question about the unsaved editor"
  expect_title "$box" "Warning"
  focus_window "$box"
  xdotool key "$1"
  wait_no_window "$box" || fail "the question did not go"
}
answer_question Escape
for window in "$main" "$editor" $helps; do
  window_gone "$window" && fail "\"Anuluj\" left the program open but closed \"$(window_title "$window")\""
done
answer_question alt+n
program_ended() { ! kill -0 "$app_pid" 2>/dev/null; }
wait_for 10 program_ended || fail "RejKMX did not end after \"Nie\""
wait "$app_pid" || fail "RejKMX ended with status $?"
app_pid=
cmp -s "$tmp/both" "$work/OBSBIEG" || fail "the editor's unsaved change reached OBSBIEG"
echo "e2e-windows: keyboard road, editor on top, titles and icons, closing question:" \
  "all as expected${wm_pid:+ (openbox)}"
