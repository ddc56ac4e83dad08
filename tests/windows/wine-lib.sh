# shellcheck shell=bash
# Pieces of the scripts that drive the Windows programs under Wine; source it after
# scripts/xvfb-lib.sh. The caller exports WINEPREFIX (made with wineboot) and
# REJKMX_WINE64 (the wine64 loader).
#
#   win_path <unix path>          the path as the Windows program sees it (drive Z: is /)
#   wine_start <exe> <log> [args]  starts a Windows program (wine_pid)
#   wine_keyboard                 the keyboard wine_type needs; call before Wine starts
#   wine_type <text>              types text, Polish letters included
#   wine_ended                    whether the program started last has ended
#   cups_start <folder>           a private cupsd with one cups-pdf printer "PDF",
#                                 the default one; exports CUPS_SERVER, sets cups_out
#   wine_lib_cleanup              stops what was started (call from the EXIT trap)

wine_pid=
cups_pid=
cups_conf=

win_path() {
  local p=${1//\//\\}
  printf 'Z:%s' "$p"
}

wine_start() {
  local exe=$1 log=$2
  shift 2
  "$REJKMX_WINE64" "$exe" "$@" >"$log" 2>&1 &
  wine_pid=$!
}

wine_ended() { ! kill -0 "$wine_pid" 2>/dev/null; }

# Under Wine `xdotool type` turns every Polish letter into one wrong letter (it
# remaps a spare key for each and Wine reads the map too late), and AltGr keys
# arrive now whole, now bare. Keys that carry the letters from the start are
# exact: the keypad keys become the nine small letters (capitals with Shift)
# before Wine starts. Paths and text never use the keypad.
declare -A wine_keysyms=(
  [ą]=aogonek [ć]=cacute [ę]=eogonek [ł]=lstroke [ń]=nacute [ó]=oacute [ś]=sacute
  [ź]=zacute [ż]=zabovedot
  [Ą]=shift+aogonek [Ć]=shift+cacute [Ę]=shift+eogonek [Ł]=shift+lstroke
  [Ń]=shift+nacute [Ó]=shift+oacute [Ś]=shift+sacute [Ź]=shift+zacute
  [Ż]=shift+zabovedot
)

wine_keyboard() {
  local keycode=79 letter
  setxkbmap us
  for letter in aogonek cacute eogonek lstroke nacute oacute sacute zacute zabovedot; do
    xmodmap -e "keycode $keycode = $letter ${letter^}"
    keycode=$((keycode + 1))
    if ((keycode == 82 || keycode == 86)); then # KP_Subtract, KP_Add stay
      keycode=$((keycode + 1))
    fi
  done
}

wine_type() {
  local text=$1 plain="" ch i
  for ((i = 0; i < ${#text}; i++)); do
    ch=${text:i:1}
    if [[ -n ${wine_keysyms[$ch]:-} ]]; then
      [[ -n $plain ]] && xdotool type --delay 30 -- "$plain"
      plain=""
      xdotool key "${wine_keysyms[$ch]}"
    else
      plain+=$ch
    fi
  done
  if [[ -n $plain ]]; then
    xdotool type --delay 30 -- "$plain"
  fi
}

# cups-pdf reads /etc/cups/cups-pdf-<name>.conf for the device cups-pdf:/<name>, so a
# private instance gets its own output folder. Needs root (cupsd, the backend).
cups_start() {
  local folder=$1/cups instance=rejkmx-wine-$$ _
  mkdir -p "$folder"/{conf,spool,cache,state,log,out,cups-pdf}
  chmod 755 "$1" "$folder" "$folder/conf" "$folder/out"
  install -d -o root -g lp -m 1770 "$folder/tmp"
  cups_conf=/etc/cups/cups-pdf-$instance.conf
  printf 'Out %s\nAnonDirName %s\nSpool %s\nLog %s\n' "$folder/out" "$folder/out" \
    "$folder/cups-pdf" "$folder/log" >"$cups_conf"
  cat >"$folder/conf/cupsd.conf" <<EOF
LogLevel info
Listen $folder/cups.sock
Browsing Off
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
EOF
  cat >"$folder/conf/cups-files.conf" <<EOF
ServerRoot $folder/conf
RequestRoot $folder/spool
TempDir $folder/tmp
CacheDir $folder/cache
StateDir $folder/state
ErrorLog $folder/log/error_log
AccessLog $folder/log/access_log
PageLog $folder/log/page_log
SystemGroup root
EOF
  cupsd -f -c "$folder/conf/cupsd.conf" -s "$folder/conf/cups-files.conf" \
    >"$folder/log/cupsd.out" 2>&1 &
  cups_pid=$!
  export CUPS_SERVER=$folder/cups.sock
  unset PRINTER LPDEST
  wait_for 10 cups_running || xvfb_lib_fail "cupsd did not start: $(tail -n 3 "$folder/log/cupsd.out")"
  lpadmin -p PDF -E -v "cups-pdf:/$instance" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
    2>"$folder/log/lpadmin.log" && lpadmin -d PDF ||
    xvfb_lib_fail "lpadmin could not add the cups-pdf printer: $(cat "$folder/log/lpadmin.log")"
  cups_out=$folder/out
}

cups_running() { lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }
cups_idle() { [[ -z $(lpstat -o 2>/dev/null) ]]; }

wine_lib_cleanup() {
  [[ -z $wine_pid ]] || kill "$wine_pid" 2>/dev/null || true
  [[ -z $cups_pid ]] || kill "$cups_pid" 2>/dev/null || true
  [[ -z $cups_conf ]] || rm -f "$cups_conf"
  return 0
}
