#!/usr/bin/env bash
# The conversion report on a desktop (openbox in Xvfb), with real key presses and
# clicks: after "WYKONAJ" the report window comes up beside the main window,
# titled "Raport konwersji" with the program's icon, not covering the main
# window, which keeps the keyboard; a double-click on an entry opens the input
# file in an editor with that line selected (copied with Ctrl+C to check).
#
#   report-test.sh <RejKMX> [out folder] [--wm=openbox]
set -euo pipefail
export LC_ALL=C.UTF-8

program=${1:?usage: report-test.sh <RejKMX> [out folder] [--wm=openbox]}
out_dir=${2:-}
xvfb_lib_name=e2e-report
source "$(dirname "$0")/../../scripts/xvfb-lib.sh"
xvfb_lib_require Xvfb xdotool xprop xwininfo xclip import

title="Konwersja plików formatu KMX 685 1.0"
e2e_scratch "$out_dir" e2e-report-failure.png

work="$tmp/praca"
mkdir -p "$work"
install_program "$program" "$tmp/bin" "$work"
# The first entry is line 3; the lone CR before it ends no line for the conversion.
input="$work/pomiar.txt"
printf 'C,10,,,,,1.56\r\nE,11,,22.50,101.2345,1.\r50,99.8765\r\nX,notatka\r\nE,12,,1,1,1,1\r\n' >"$input"

xvfb_start "$tmp"
wm_from_args "$tmp" "$@"
start_program "$tmp/bin/RejKMX" "$tmp/app.log"
main=$(wait_window "^${title}\$") || true
[[ -n $main ]] || fail "no window titled \"$title\""

type_files_and_execute "$main" "$input"
report=$(wait_window '^Raport konwersji$' 15) || true
[[ -n $report ]] || fail "WYKONAJ showed no report window"
[[ $(window_title "$report") == "Raport konwersji" ]] || fail "the report is titled \"$(window_title "$report")\""
has_icon "$report" || fail "the report window has no icon"
[[ $(active_window) == "$main" ]] || fail "the report window took the keyboard from the main window"
eval "$(xwininfo -id "$main" | awk '/Absolute upper-left X/ {print "mx=" $4} /Absolute upper-left Y/ {print "my=" $4} /Width/ {print "mw=" $2} /Height/ {print "mh=" $2}')"
eval "$(xwininfo -id "$report" | awk '/Absolute upper-left X/ {print "rx=" $4} /Absolute upper-left Y/ {print "ry=" $4}')"
((rx >= mx + mw || ry >= my + mh)) || fail "the report window covers the main window ($rx,$ry)"

# The first row, in the reason column, below the column headers.
xdotool mousemove --window "$report" 400 45 click --repeat 2 --delay 120 1
editor=$(wait_window "/praca/pomiar.txt\$" 15) || true
[[ -n $editor ]] || fail "a double-click on the entry opened no editor"
editor_active() { [[ $(active_window) == "$editor" ]]; }
wait_for 5 editor_active || fail "the editor did not get the keyboard"
xdotool key ctrl+c
selected() { [[ $(xclip -o -selection clipboard 2>/dev/null) == "X,notatka" ]]; }
wait_for 5 selected || fail "the editor selected \"$(xclip -o -selection clipboard 2>/dev/null)\", not line 3"
echo "e2e-report: report beside the main window, double-click selects the line${wm_pid:+ (openbox)}"
