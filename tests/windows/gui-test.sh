#!/usr/bin/env bash
# RejKMX.exe under Wine, driven as a user drives it (Xvfb, bare or under openbox,
# real keys and clicks): settings from a Windows-1250 kavero.ini beside the .exe in
# a folder with Polish letters; the help button without the manual, without a PDF
# reader and with one; recorder files typed into the list, "WYKONAJ", OBSBIEG
# compared with the Linux converter's output; the OBSBIEG button opens an editor, a
# line with Polish letters is typed and saved (Windows-1250 bytes on disk), a
# Polish word is found by the search dialog regardless of case; Err.rej printed
# through Windows printing to a cups-pdf printer of a private cupsd, the expected
# pages checked; the closing question answered in Polish.
#
#   gui-test.sh <Windows bin folder> <Linux kmx685-convert> <examples> <expected OBSBIEG>
#               [--wm=openbox] [--png=FILE]
#
# The caller exports WINEPREFIX (booted) and REJKMX_WINE64. Without --wm=openbox the
# windows are Wine's own on a bare X server. --png saves a screenshot of the main
# window and the editor. Printing needs root (cupsd); without it that part is
# reported as skipped.
set -euo pipefail
export LC_ALL=C.UTF-8

win_bin=${1:?usage: gui-test.sh <Windows bin> <Linux kmx685-convert> <examples> <expected> [--wm=openbox] [--png=FILE]}
linux_convert=${2:?missing the Linux kmx685-convert}
examples=${3:?missing the examples folder}
expected=${4:?missing the expected OBSBIEG}
shift 4
screenshot=
for arg in "$@"; do
  [[ $arg == --png=* ]] && screenshot=${arg#--png=}
done
xvfb_lib_name=windows-gui
here=$(dirname "$0")
source "$here/../../scripts/xvfb-lib.sh"
source "$here/wine-lib.sh"
source "$here/../support/checks.sh"
xvfb_lib_require Xvfb openbox xdotool xclip setxkbmap xmodmap iconv pdfinfo pdftotext import convert
wine=$REJKMX_WINE64
wineserver=$(dirname "$wine")/wineserver
[[ -x $wineserver ]] || wineserver=wineserver

title="Konwersja plików formatu KMX 685 1.0"
polish_line="Zażółć gęślą jaźń ĄĆĘŁŃÓŚŹŻ"

tmp=$(mktemp -d)
cleanup() {
  set +e
  "$wineserver" -k 2>/dev/null || true
  wine_lib_cleanup
  xvfb_lib_cleanup
  if [[ -n ${REJKMX_KEEP_TEST_DIR:-} ]]; then
    echo "windows-gui: kept $tmp" >&2
  else
    rm -rf "$tmp"
  fi
}
trap cleanup EXIT
trap 'exit 1' INT TERM # a timeout still cleans up
fail() {
  [[ -n ${DISPLAY:-} ]] && import -window root "$tmp/failure.png" 2>/dev/null &&
    cp "$tmp/failure.png" "${REJKMX_FAILURE_PNG:-/tmp/windows-gui-failure.png}" 2>/dev/null
  echo "--- RejKMX.exe output:" >&2
  cat "$tmp/app.log" >&2 2>/dev/null || true
  if [[ -f $tmp/cups/log/error_log ]]; then
    echo "--- cupsd log:" >&2
    tail -n 15 "$tmp/cups/log/error_log" >&2
  fi
  xvfb_lib_fail "$*"
}

# The program folder and the working folder have Polish letters; kavero.ini is
# Windows-1250 with CR LF and names the working folder as Windows does.
bin="$tmp/Programy Łąka"
work="$tmp/Praca Żółw"
mkdir -p "$bin" "$work" "$tmp/pomiary"
cp "$win_bin/RejKMX.exe" "$bin/"
printf '[general]\r\nObiekty=\r\npath = %s\r\n[User]\r\nLastIndex=0\r\n' "$(win_path "$work")" |
  iconv -f UTF-8 -t CP1250 >"$bin/kavero.ini"
# The second recorder file gets a Polish name, typed key by key like the rest.
inputs=()
for file in "$examples"/*.txt; do
  name=$(basename "$file")
  ((${#inputs[@]} == 1)) && name="pomiar łąka ż.txt"
  cp "$file" "$tmp/pomiary/$name"
  inputs+=("$tmp/pomiary/$name")
done
"$linux_convert" -o "$tmp/linux-OBSBIEG" "${inputs[@]}" || fail "the Linux converter failed"
# Err.rej long enough for three pages, with Polish letters on every line.
for i in $(seq -w 1 150); do printf 'Wiersz %s: zażółć gęślą jaźń\r\n' "$i"; done |
  iconv -f UTF-8 -t CP1250 >"$work/Err.rej"

xvfb_start "$tmp"
wm_from_args "$tmp" "$@"
wine_keyboard || fail "cannot set up the keyboard"
printing=yes
if [[ $(id -u) -eq 0 ]]; then
  cups_start "$tmp" # Wine lists the printers of the CUPS it reaches through CUPS_SERVER
else
  printing=
  echo "windows-gui: printing SKIPPED: cupsd and cups-pdf need root"
fi
# No PDF reader: Wine's own association of .pdf goes, a test reader comes later.
"$wine" reg delete 'HKCR\.pdf' /f >/dev/null 2>&1 || true

wine_start "$bin/RejKMX.exe" "$tmp/app.log"
main=$(wait_window "^${title}\$" 60) || true
[[ -n $main ]] || fail "no window titled \"$title\""
sleep 1

# The ink of the "OBSBIEG" caption, column by column: letters stand at most two
# blank columns apart, so a wider gap is a letter left undrawn (Wine's GDI drops
# the one-pixel I).
caption_ink() {
  import -window "$main" "$tmp/window.png" &&
    convert "$tmp/window.png" -crop 90x41+182+240 +repage -colorspace gray -threshold 60% \
      -negate -scale 90x1\! -threshold 0 txt:- |
    awk 'NR > 1 { printf "%s", ($0 ~ /#FFFFFF|gray\(255\)/) ? 1 : 0 }'
}
ink=$(caption_ink) || fail "no picture of the main window"
check "the OBSBIEG caption is drawn" grep -q 1 <<<"$ink"
check "the OBSBIEG caption has every letter ($ink)" \
  bash -c '! grep -Eq "1000+1" <<<"$1"' _ "$ink"

# Every message box copies its text with Ctrl+C (Windows' own convention).
windows_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | sort; }
message_text() { # <title regex> <answer key>: waits for a new window so titled,
  local box=     # prints its text and answers it
  new_box() { windows_named "$1" | grep -vx -e "$main" -e "${editor:-none}" | head -n 1; }
  box_shown() { [[ -n $(new_box "$1") ]]; }
  wait_for 15 box_shown "$1" || return 1
  box=$(new_box "$1")
  xdotool windowactivate --sync "$box" 2>/dev/null || true
  xclip -selection clipboard -i /dev/null >/dev/null 2>&1 # it stays to serve the selection
  xdotool key ctrl+c
  sleep 0.5
  xclip -o -selection clipboard 2>/dev/null | tr -d '\r'
  xdotool key "$2"
  wait_no_window "$box"
}
click_main() {
  xdotool windowactivate --sync "$main" 2>/dev/null || true
  xdotool mousemove --window "$main" "$1" "$2" click 1
}
manual_win="$(win_path "$bin")\\RejKMX.pdf"

# Help: the manual missing, then no reader, then a reader that copies what it gets.
click_main 60 48
text=$(message_text "^${title}\$" Return) || fail "no message for a missing manual"
check "help without RejKMX.pdf: names it, joined with a backslash" \
  grep -qxF "Nie można otworzyć podręcznika: $manual_win" <<<"$text"
check "help without RejKMX.pdf: says it is missing" grep -q "^Plik nie istnieje" <<<"$text"
cp "$win_bin/RejKMX.pdf" "$bin/"
click_main 60 48
text=$(message_text "^${title}\$" Return) || fail "no message without a PDF reader"
check "help without a PDF reader: says so in Polish" \
  grep -q "^Brak programu do wyświetlania plików PDF" <<<"$text"
"$wine" reg add 'HKCR\.pdf' /ve /d RejKMXTestReader /f >/dev/null 2>&1
"$wine" reg add 'HKCR\RejKMXTestReader\shell\open\command' /ve /f >/dev/null 2>&1 \
  /d "C:\\windows\\system32\\cmd.exe /c copy \"%1\" $(win_path "$tmp")\\opened.pdf"
click_main 60 48
wait_for 20 test -s "$tmp/opened.pdf" || fail "the help button did not start the PDF reader"
check "help: the reader got RejKMX.pdf beside the .exe" cmp -s "$tmp/opened.pdf" "$bin/RejKMX.pdf"

# The road of one conversion: paths typed into the list, "WYKONAJ".
type_list() {
  click_main 100 150
  xdotool key ctrl+a Delete
  local i
  for i in "${!inputs[@]}"; do
    ((i > 0)) && xdotool key Return
    wine_type "$(win_path "${inputs[i]}")"
  done
}
list_text() { # the list as the clipboard gets it
  xclip -selection clipboard -i /dev/null >/dev/null 2>&1 # it stays to serve the selection
  xdotool key ctrl+a ctrl+c
  sleep 0.3
  xclip -o -selection clipboard 2>/dev/null | tr -d '\r'
}
typed_list=$(for input in "${inputs[@]}"; do win_path "$input"; echo; done)
# Without a window manager the first keys may reach the window before it takes the
# focus back from a closed message box: then the list is typed once more.
type_list
[[ $(list_text) == "$typed_list" ]] || type_list
check "the list holds the typed paths, Polish letters included" test "$(list_text)" = "$typed_list"
click_main 212 342
wait_for 20 test -s "$work/OBSBIEG" || fail "WYKONAJ wrote no OBSBIEG into the working folder of kavero.ini"
sleep 1
check "OBSBIEG: the same bytes as the Linux converter's" cmp -s "$work/OBSBIEG" "$tmp/linux-OBSBIEG"
check "OBSBIEG: the expected bytes" cmp -s "$work/OBSBIEG" "$expected"

# The OBSBIEG button opens an editor on the working folder + "\OBSBIEG".
obsbieg_win="$(win_path "$work")\\OBSBIEG"
click_main 216 260
editor=$(wait_window "^$(sed 's/[][\\.^$*+?(){}|]/\\&/g' <<<"$obsbieg_win")( - |\$)" 30) || true
[[ -n $editor ]] || fail "the OBSBIEG button opened no editor titled $obsbieg_win"
sleep 1
# Beside the main window, so both show on the screenshot.
main_y=$(xdotool getwindowgeometry "$main" | sed -n 's/.*Position: [0-9]*,\([0-9]*\).*/\1/p')
xdotool windowmove --sync "$editor" 566 "${main_y:-0}" 2>/dev/null || true
xdotool windowactivate --sync "$editor" 2>/dev/null || true
xdotool mousemove --window "$editor" 200 150 click 1
xdotool key ctrl+Home
wine_type "$polish_line"
xdotool key Return
xdotool mousemove --window "$editor" 62 12 click 1 # "Zapisz"
{ printf '%s\r\n' "$polish_line" | iconv -f UTF-8 -t CP1250; cat "$expected"; } >"$tmp/edited"
wait_for 10 cmp -s "$tmp/edited" "$work/OBSBIEG" || true
check "editor: the typed Polish line saved as Windows-1250 before the old text" \
  cmp "$tmp/edited" "$work/OBSBIEG"
[[ -n $screenshot ]] && import -window root -crop 1024x440+0+0 +repage "$screenshot"

# Search from the top for the word in capitals; the match is typed over and saved.
xdotool key ctrl+Home
xdotool mousemove --window "$editor" 287 12 click 1 # "Szukaj"
search=$(wait_window '^Szukaj\.\.\.( - |$)' 20) || true
[[ -n $search ]] || fail "the search dialog did not open"
wine_type "GĘŚLĄ"
xdotool key Return
sleep 1
xdotool key Escape
wait_no_window "$search" || fail "the search dialog did not close on Escape"
# A click on the toolbar's free end gives the window back the keyboard, without a
# window manager too, and leaves the selection alone.
xdotool mousemove --window "$editor" 420 12 click 1
sleep 0.5
wine_type "łąka"
xdotool mousemove --window "$editor" 62 12 click 1
{ printf '%s\r\n' "${polish_line/gęślą/łąka}" | iconv -f UTF-8 -t CP1250; cat "$expected"; } >"$tmp/found"
wait_for 10 cmp -s "$tmp/found" "$work/OBSBIEG" || true
check "search: GĘŚLĄ found as gęślą, and only it replaced" cmp "$tmp/found" "$work/OBSBIEG"
xdotool key alt+F4
wait_no_window "$editor" || fail "the saved editor did not close"

# Printing Err.rej: the Windows print dialog, OK, the job on the cups-pdf printer.
if [[ -n $printing ]]; then
  click_main 479 260
  err_editor=$(wait_window 'Err\.rej( - |$)' 30) || true
  [[ -n $err_editor ]] || fail "the Err.rej button opened no editor"
  sleep 1
  xdotool windowactivate --sync "$err_editor" 2>/dev/null || true
  xdotool mousemove --window "$err_editor" 87 12 click 1 # "Drukuj"
  dialog=$(wait_window '^(Print|Drukuj)( - |$)' 30) || true
  [[ -n $dialog ]] || fail "no print dialog"
  sleep 1
  xdotool key Return
  printed_pdf() { find "$cups_out" -name '*.pdf' | grep -q .; }
  wait_for 60 printed_pdf || fail "nothing printed"
  wait_for 10 cups_idle || fail "the print job did not finish"
  pdf=$(find "$cups_out" -name '*.pdf' | head -n 1)
  pages=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
  # Every line once, in order; full pages but the last; so the count is the expected one.
  pdftotext -layout "$pdf" "$tmp/printed.txt"
  grep -o 'Wiersz [0-9]*' "$tmp/printed.txt" | cut -d' ' -f2 >"$tmp/printed-lines"
  per_page=$(pdftotext -f 1 -l 1 "$pdf" - | grep -c 'Wiersz')
  check "print: every line of Err.rej once, in order" cmp -s "$tmp/printed-lines" <(seq -w 1 150)
  check "print: $pages pages of $per_page lines, as 150 lines need" \
    test "$pages" -eq $(((150 + per_page - 1) / per_page)) -a "$pages" -gt 1
  check "print: Polish letters on the page" grep -q 'zażółć gęślą jaźń' "$tmp/printed.txt"
fi

# Qt's standard buttons in Polish: "Tak" of the closing question answers to T
# (the English "Yes" would not), saves and closes the edited text.
err_editor=$(xdotool search --onlyvisible --name 'Err\.rej( - |$)' | head -n 1)
if [[ -z $err_editor ]]; then
  click_main 479 260
  err_editor=$(wait_window 'Err\.rej( - |$)' 30) || fail "the Err.rej button opened no editor"
fi
cp "$work/Err.rej" "$tmp/Err.rej.before"
xdotool windowactivate --sync "$err_editor" 2>/dev/null || true
xdotool mousemove --window "$err_editor" 200 150 click 1
xdotool key ctrl+Home
xdotool type x
xdotool key alt+F4
question=$(wait_window '^Warning( - |$)' 20) || fail "no question when closing an edited text"
xdotool windowactivate --sync "$question" 2>/dev/null || true
xdotool key t
wait_no_window "$err_editor" 20 || fail "T in the closing question did not close the editor"
check "closing question: T is \"Tak\", the text saved" \
  cmp -s <(printf x; cat "$tmp/Err.rej.before") "$work/Err.rej"

click_main 356 342 # "Zamknij"
wait_for 20 wine_ended || fail "RejKMX.exe did not end when its window closed"
status=0
wait "$wine_pid" || status=$?
wine_pid=
check "RejKMX.exe ended with status 0" test "$status" -eq 0
check "no temporary file left in the working folder" \
  test "$(ls -A "$work" | sort | tr '\n' ' ')" = "Err.rej OBSBIEG "
checks_summary windows-gui
