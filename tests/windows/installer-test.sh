#!/usr/bin/env bash
# The Windows installer under Wine, silent: installs the four files into a folder
# of the user's choice (Polish letters in its name) with a Start-menu entry and an
# uninstall entry; the installed converter works with the sample kavero.ini beside
# it; a second install keeps the user's kavero.ini; the uninstaller removes the
# program, its entries and nothing of the user's: kavero.ini and its folder stay.
#
#   installer-test.sh <setup.exe> <folder of the files it should install> <recorder file> <expected OBSBIEG>
#
# The caller exports WINEPREFIX (booted) and REJKMX_WINE64.
set -u
export LC_ALL=C.UTF-8
setup=${1:?usage: installer-test.sh <setup.exe> <stage folder> <recorder file> <expected OBSBIEG>}
stage=${2:?missing the stage folder}
recorder=${3:?missing the recorder file}
expected=${4:?missing the expected OBSBIEG}
here=$(dirname "$0")
source "$here/wine-lib.sh"
source "$here/../support/checks.sh"
wine=$REJKMX_WINE64
wineserver=$(dirname "$wine")/wineserver
[[ -x $wineserver ]] || wineserver=wineserver
export DISPLAY=                                       # a silent install shows nothing
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winemenubuilder.exe=d" # no host menu entries

tmp=$(mktemp -d)
trap '"$wineserver" -k 2>/dev/null; rm -rf "$tmp"' EXIT
dir="$tmp/Programy/RejKMX Łąka"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/RejKMX"
uninstaller="$dir/Odinstaluj RejKMX.exe"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\RejKMX'

# NSIS takes the folder from /D= at the very end of its command line, unquoted even
# with spaces; Wine would quote such an argument, cmd.exe passes the line as it is.
run_setup() {
  timeout 120 "$wine" cmd.exe /c "$(win_path "$setup") /S /D=$(win_path "$dir")" \
    >"$tmp/install.log" 2>&1
}
installed_files() { (cd "$dir" && find . -type f | sort | tr '\n' ' '); }

run_setup
check "install: exit 0" test $? -eq 0
for file in RejKMX.exe kmx685-convert.exe RejKMX.pdf kavero.ini; do
  check "install: $file as built" cmp -s "$stage/$file" "$dir/$file"
done
check "install: the uninstaller beside them" test -f "$uninstaller"
check "install: Start-menu entry for the program" \
  test -f "$menu/Konwersja plików formatu KMX 685.lnk"
# reg prints through the console's code page: Polish letters come out as plain ones.
check "install: uninstall entry names the folder" \
  grep -qF "$(win_path "$dir" | iconv -f UTF-8 -t ASCII//TRANSLIT)" \
  <("$wine" reg query "$key" /v InstallLocation 2>/dev/null)

# The user's own settings: the installed converter writes OBSBIEG where they point.
work="$tmp/Praca Ż"
mkdir -p "$work"
printf '[General]\r\nPath=%s\r\n' "$(win_path "$work")" | iconv -f UTF-8 -t CP1250 >"$dir/kavero.ini"
cp "$dir/kavero.ini" "$tmp/user.ini"
timeout 60 "$wine" "$dir/kmx685-convert.exe" "$(win_path "$recorder")" >"$tmp/convert.log" 2>&1
check "installed kmx685-convert.exe reads kavero.ini beside it" cmp -s "$work/OBSBIEG" "$expected"

run_setup
check "second install: exit 0" test $? -eq 0
check "second install: the user's kavero.ini kept" cmp -s "$tmp/user.ini" "$dir/kavero.ini"

# The uninstaller copies itself away and returns at once: wait for its work.
timeout 60 "$wine" "$uninstaller" /S >"$tmp/uninstall.log" 2>&1
check "uninstall: exit 0" test $? -eq 0
uninstalled() { [[ ! -e $uninstaller && ! -e $menu ]]; }
for _ in $(seq 300); do uninstalled && break; sleep 0.1; done
"$wineserver" -w 2>/dev/null
check "uninstall: only the user's kavero.ini left in the folder" test "$(installed_files)" = "./kavero.ini "
check "uninstall: kavero.ini as the user left it" cmp -s "$tmp/user.ini" "$dir/kavero.ini"
check "uninstall: Start-menu entries gone" test ! -e "$menu"
check "uninstall: uninstall entry gone" \
  test -z "$("$wine" reg query "$key" 2>/dev/null | grep -i InstallLocation)"
checks_summary windows-installer
