# shellcheck shell=bash
# Shared pieces of the scripts that drive RejKMX under their own Xvfb server.
# Source it; the caller calls xvfb_lib_cleanup from its EXIT trap.
#
#   xvfb_start <folder>                    starts Xvfb on a free display, exports DISPLAY
#   wm_start <folder>                      starts openbox on that display and waits for it
#   wm_from_args <folder> "$@"             wm_start when the arguments hold --wm=openbox
#   install_program <binary> <folder> <working folder>
#                                          copies RejKMX beside its own kavero.ini
#   start_program <binary> <log>           starts it on the display (app_pid)
#   wait_window <name regex> [seconds]     prints the id of the first visible match
#   wait_no_window <window id> [seconds]   waits until the window is gone
#   wait_for <seconds> <command...>        polls the command every 0.1 s
#   crop_window <window id> <WxH+X+Y> <png>  a piece of the window's picture
#   type_files_and_execute <window id> <path...>
#                                          types the paths into Memo1, presses "WYKONAJ"
#   top_window                             the id of the topmost visible window
#   active_window                          the id of the window with the keyboard
#   focus_window <window id>               raises it and gives it the keyboard, as a click would
#   window_title <window id>               the title the window manager shows
#   has_icon <window id>                   whether the window carries its own icon
#   e2e_scratch <out folder> <png name>    makes $tmp (gone on exit with the X server)
#                                          and fail(): the program's log, a picture of
#                                          the screen in the out folder, the message

xvfb_pid=
wm_pid=
app_pid=

xvfb_lib_fail() {
  echo "${xvfb_lib_name:-e2e}: $*" >&2
  exit 1
}

xvfb_lib_require() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || xvfb_lib_fail "$tool is missing"
  done
}

# Each kill may find its process gone already; under set -e in an EXIT trap a
# failed kill would end the cleanup and leave the X server running.
xvfb_lib_cleanup() {
  local pid
  for pid in "$app_pid" "$wm_pid" "$xvfb_pid"; do
    [[ -n $pid ]] && { kill "$pid" 2>/dev/null || true; }
  done
  wait 2>/dev/null
  return 0
}

# Xvfb picks a free display itself and tells its number through a pipe. Without
# -noreset it would reset, keyboard layout included, whenever its last client left.
xvfb_start() {
  local folder=$1
  Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1024x768x24 3>"$folder/display" \
    2>"$folder/xvfb.log" &
  xvfb_pid=$!
  wait_for 10 test -s "$folder/display" ||
    { cat "$folder/xvfb.log" >&2; xvfb_lib_fail "Xvfb did not start"; }
  DISPLAY=":$(head -n1 "$folder/display")"
  export DISPLAY
}

# A real window manager: it places, stacks, decorates and focuses windows as on
# a user's desktop. Ready once it has announced itself on the root window.
wm_start() {
  local folder=$1
  openbox --sm-disable >"$folder/openbox.log" 2>&1 &
  wm_pid=$!
  wait_for 10 wm_running ||
    { cat "$folder/openbox.log" >&2; xvfb_lib_fail "openbox did not start"; }
}

wm_running() {
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Scripts run once on a bare X server and once, with --wm=openbox, under openbox.
wm_from_args() {
  local folder=$1 arg
  shift
  for arg in "$@"; do
    [[ $arg == --wm=openbox ]] && { wm_start "$folder"; return 0; }
  done
  return 0
}

# kavero.ini is Windows-1250 text with CR LF line ends, as the office suite writes it.
install_program() {
  local binary=$1 folder=$2 work=$3
  mkdir -p "$folder"
  cp "$binary" "$folder/RejKMX"
  printf '[General]\r\nPath=%s\r\n[User]\r\nLastIndex=0\r\n' "$work" |
    iconv -f UTF-8 -t CP1250 >"$folder/kavero.ini"
}

start_program() {
  QT_QPA_PLATFORM=xcb "$1" >"$2" 2>&1 &
  app_pid=$!
}

wait_window() {
  local pattern=$1 seconds=${2:-20}
  timeout "$seconds" xdotool search --sync --onlyvisible --name "$pattern" 2>/dev/null | head -n1
}

wait_no_window() {
  local window=$1 seconds=${2:-10}
  wait_for "$seconds" window_gone "$window"
}

window_gone() {
  ! xdotool search --onlyvisible --name '' 2>/dev/null | grep -qx "$1"
}

wait_for() {
  local seconds=$1 i
  shift
  for ((i = 0; i < seconds * 10; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  "$@"
}

# Window ids in decimal, as xdotool prints them. A window manager keeps the
# stacking order (bottom first); a bare server lists the root's children top first.
top_window() {
  if wm_running; then
    xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //' | tr ',' '\n' | tail -n1 |
      xargs printf '%d\n'
  else
    local visible id
    visible=$(xdotool search --onlyvisible --name '' 2>/dev/null)
    for id in $(xwininfo -root -children | awk '$1 ~ /^0x/ { print $1 }'); do
      grep -qx "$((id))" <<<"$visible" && { echo "$((id))"; return 0; }
    done
  fi
}

active_window() {
  if wm_running; then
    xprop -root _NET_ACTIVE_WINDOW | sed 's/.*# //' | xargs printf '%d\n'
  else
    xdotool getwindowfocus
  fi
}

# On a bare server nothing raises a clicked window, so it is raised here too.
focus_window() {
  if wm_running; then
    xdotool windowactivate --sync "$1"
  else
    xdotool windowraise "$1" windowfocus --sync "$1"
  fi
}

window_title() {
  xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'
}

# Not a pipe into grep -q: the icon's picture is long, and pipefail would
# count the broken pipe against a match.
has_icon() {
  [[ $(xprop -id "$1" _NET_WM_ICON) == "_NET_WM_ICON(CARDINAL) ="* ]]
}

crop_window() {
  local window=$1 geometry=$2 png=$3
  import -window "$window" -crop "$geometry" +repage "$png"
}

# No window manager: the main window sits at the screen's corner, so layout
# coordinates are screen coordinates. Memo1, one path per line, then "WYKONAJ".
type_files_and_execute() {
  local window=$1 i
  shift
  xdotool mousemove --window "$window" 100 150 click 1
  for ((i = 1; i <= $#; i++)); do
    ((i > 1)) && xdotool key Return
    xdotool type --delay 5 "${!i}"
  done
  xdotool mousemove --window "$window" 212 342 click 1
}

# The scratch folder and failure report of an end-to-end script. The program's
# output is expected in $tmp/app.log; the picture is taken only when the caller
# gave an out folder (CI keeps it).
e2e_scratch() {
  e2e_out_dir=$1
  e2e_failure_png=$2
  tmp=$(mktemp -d)
  trap 'xvfb_lib_cleanup; rm -rf "$tmp"' EXIT
  fail() {
    [[ -f $tmp/app.log ]] && { echo "--- RejKMX output:" >&2; cat "$tmp/app.log" >&2; }
    if [[ -n $e2e_out_dir && -n ${DISPLAY:-} ]]; then
      mkdir -p "$e2e_out_dir"
      import -window root "$e2e_out_dir/$e2e_failure_png" 2>/dev/null || true
    fi
    xvfb_lib_fail "$*"
  }
}
