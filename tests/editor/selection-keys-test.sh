#!/usr/bin/env bash
# The editor's selection modes as a user meets them: the real program under its
# own Xvfb, the editor opened with the OBSBIEG button on abcd/efgh/ijkl (CR LF),
# driven with real key presses and mouse clicks, saved with "Zapisz"; the bytes
# on disk and the clipboard are compared.
#
#   selection-keys-test.sh <RejKMX> <close-window> [--wm=openbox] [out folder]
set -euo pipefail
export LC_ALL=C.UTF-8

program=${1:?usage: selection-keys-test.sh <RejKMX> <close-window> [--wm=openbox] [out]}
close_window=${2:?missing close-window helper}
shift 2
out_dir=
for arg in "$@"; do [[ $arg == --* ]] || out_dir=$arg; done
xvfb_lib_name=editor-selection-keys
source "$(dirname "$0")/../../scripts/xvfb-lib.sh"
source "$(dirname "$0")/../support/checks.sh"
xvfb_lib_require Xvfb xdotool xclip import

title="Konwersja plików formatu KMX 685 1.0"
start_text=$'abcd\r\nefgh\r\nijkl\r\n'

e2e_scratch "$out_dir" selection-keys-failure.png

work="$tmp/work"
mkdir -p "$work"
install_program "$program" "$tmp/bin" "$work"
xvfb_start "$tmp"
wm_from_args "$tmp" "$@"
start_program "$tmp/bin/RejKMX" "$tmp/app.log"
main=$(wait_window "^${title}\$") || true
[[ -n $main ]] || fail "no window titled \"$title\""

# Toolbar buttons by their centres in the editor's client area.
declare -A button=([Zapisz]=62 [normal]=112 [lines]=137 [column]=162 [Kopiuj]=187)
editor=

# A fresh OBSBIEG in a new editor window, on top and focused, in the given mode.
open_editor() {
  printf '%s' "$start_text" >"$work/OBSBIEG"
  [[ -n $wm_pid ]] && xdotool windowactivate --sync "$main"
  xdotool mousemove --window "$main" 216 260 click 1 # Przycisk1, "OBSBIEG"
  editor=$(wait_window "OBSBIEG( — .*)?\$") || true
  [[ -n $editor ]] || fail "the OBSBIEG button opened no editor"
  # Under a window manager the new window may open behind the main one.
  [[ -n $wm_pid ]] && xdotool windowactivate --sync "$editor"
  # A click in the text below the last line gives the keyboard focus to the text.
  xdotool mousemove --window "$editor" 300 300 click 1
  click_button "$1"
}

click_button() {
  xdotool mousemove --window "$editor" "${button[$1]}" 12 click 1
}

# Text position (line, column from 0) to a point: the 8-point monospaced font
# has cells of 6.5 x 13 pixels; the text starts below the 25-pixel toolbar.
click_text() {
  xdotool mousemove --window "$editor" $((2 + $2 * 65 / 10)) $((26 + $1 * 13 + 6)) click 1
}

keys() { xdotool key --delay 30 "$@"; }

# Saves, checks the bytes on disk, and closes the window.
saved_as() {
  click_button Zapisz
  wait_for 5 cmp -s "$work/OBSBIEG" <(printf '%s' "$1") || {
    od -c "$work/OBSBIEG" | head -n 5 >&2
    "$close_window" "$editor"
    return 1
  }
  "$close_window" "$editor"
  wait_no_window "$editor"
}

clipboard_is() {
  wait_for 5 cmp -s <(xclip -o -selection clipboard 2>/dev/null) <(printf '%s' "$1") || {
    xclip -o -selection clipboard 2>/dev/null | od -c | head -n 5 >&2
    return 1
  }
}

# Whole lines: a click and keys place a bare caret; typing and Delete change one character.
lines_click() {
  open_editor lines
  click_text 1 2
  keys X
  saved_as $'abcd\r\nefXgh\r\nijkl\r\n'
}
lines_keys() {
  open_editor lines
  keys ctrl+Home Right Right Right X Down Left Delete
  saved_as $'abcXd\r\nefg\r\nijkl\r\n'
}
# Shift+Down grows whole lines; copied with their line ends, they paste as lines.
lines_copy_paste() {
  open_editor lines
  keys ctrl+Home Right shift+Down
  click_button Kopiuj
  clipboard_is $'abcd\r\nefgh\r\n' || return 1
  keys ctrl+End ctrl+v
  saved_as $'abcd\r\nefgh\r\nijkl\r\nabcd\r\nefgh\r\n'
}
# Column mode: plain keys move the caret as in normal mode.
column_keys() {
  open_editor column
  keys ctrl+Home Right Right Down X Left Left Y ctrl+Left Z ctrl+Right W
  saved_as $'abcd\r\nZeYfXghW\r\nijkl\r\n'
}
# Shift+keys grow a block; Kopiuj copies its rows, typing replaces it on every
# row, and an arrow then moves the caret again.
column_block() {
  open_editor column
  keys ctrl+Home Down Right shift+Down shift+Right shift+Right
  click_button Kopiuj
  clipboard_is $'fg\r\njk' || return 1
  keys Q Right R
  saved_as $'abcd\r\neQh\r\niQlR\r\n'
}
column_shift_end() {
  open_editor column
  keys ctrl+Home Down Right Right shift+Down shift+End
  click_button Kopiuj
  clipboard_is $'gh\r\nkl' || return 1
  keys BackSpace
  saved_as $'abcd\r\nef\r\nij\r\n'
}

check "whole lines: a click and a typed X change one character" lines_click
check "whole lines: keys, X and Delete change one character each" lines_keys
check "whole lines: copied with their line ends, pasted as lines" lines_copy_paste
check "column: arrows and Ctrl+arrows move the caret" column_keys
check "column: Shift+arrows make a block, copied and typed over on every row" column_block
check "column: Shift+End makes a block" column_shift_end

checks_summary "editor selection keys${wm_pid:+ (openbox)}"
