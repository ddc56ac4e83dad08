#!/usr/bin/env bash
# A 1 GB recorder file: the converter runs in constant memory, and in the window
# the progress dialog appears, advances, and "Anuluj" (Escape) leaves the old
# OBSBIEG as it was, with no temporary file behind.
#
#   large-input-test.sh <kmx685-convert> <RejKMX> <generate.py> <scratch parent> [out folder]
#
# The scratch parent must be on a disk, not in memory; 2.5 GB must be free there.
# Exits 77 (skipped) when they are not.
set -euo pipefail
export LC_ALL=C.UTF-8

converter=${1:?usage: large-input-test.sh <kmx685-convert> <RejKMX> <generate.py> <scratch> [out]}
program=${2:?missing RejKMX}
generator=${3:?missing generate.py}
scratch_parent=${4:?missing scratch folder}
out_dir=${5:-}
xvfb_lib_name=e2e-large-input
source "$(dirname "$0")/../../scripts/xvfb-lib.sh"
xvfb_lib_require Xvfb xdotool import compare python3 /usr/bin/time

title="Konwersja plików formatu KMX 685 1.0"
copies=1000 # of a 1 MB chunk: a 1 GB file
# The converter peaks at about 5 MiB (13 MiB under AddressSanitizer) whatever the input.
max_rss_kib=$((32 * 1024))
old_obsbieg=$'poprzedni wynik\r\n'

mkdir -p "$scratch_parent"
# A run killed at its timeout cannot clean up after itself; the next one does.
find "$scratch_parent" -mindepth 1 -maxdepth 1 -name 'tmp.*' -mmin +60 -exec rm -rf {} +
tmp=$(mktemp -d -p "$(cd "$scratch_parent" && pwd)")
trap 'xvfb_lib_cleanup; rm -rf "$tmp"' EXIT
skip() {
  echo "e2e-large-input: SKIP: $*" >&2
  exit 77
}
fail() {
  [[ -f $tmp/app.log ]] && { echo "--- RejKMX output:" >&2; cat "$tmp/app.log" >&2; }
  xvfb_lib_fail "$*"
}
seconds() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(seconds)" 'BEGIN { printf "%.1f", b - a }'; }

[[ $(stat -f -c %T "$tmp") != tmpfs ]] || skip "$scratch_parent is in memory (tmpfs)"
free_kib=$(df -Pk "$tmp" | awk 'NR == 2 { print $4 }')
((free_kib > 2600 * 1024)) || skip "only $((free_kib / 1024)) MB free in $scratch_parent"

# One realistic megabyte, repeated: python would take minutes for the whole gigabyte.
start=$(seconds)
python3 "$generator" 1 >"$tmp/chunk.txt"
for ((i = 0; i < copies; i++)); do printf '%s\0' "$tmp/chunk.txt"; done |
  xargs -0 cat >"$tmp/duzy.txt"
input_bytes=$(stat -c %s "$tmp/duzy.txt")
echo "e2e-large-input: generated $((input_bytes / 1000000)) MB in $(since "$start") s"

# The converter alone: memory of the 1 GB run against a 1 MB run.
peak_rss() { # peak_rss <output> <input>: prints the peak RSS in KiB
  /usr/bin/time -f '%M' -o "$tmp/time.txt" "$converter" -o "$1" "$2" ||
    fail "kmx685-convert failed on $2"
  tail -n1 "$tmp/time.txt"
}
small_rss=$(peak_rss "$tmp/small.out" "$tmp/chunk.txt")
start=$(seconds)
large_rss=$(peak_rss "$tmp/large.out" "$tmp/duzy.txt")
convert_s=$(since "$start")
small_bytes=$(stat -c %s "$tmp/small.out")
large_bytes=$(stat -c %s "$tmp/large.out")
rm -f "$tmp/large.out"
# Station blocks end with the chunk, so the whole converts to the chunk's output
# repeated; a short output would mean a truncated conversion.
((large_bytes == copies * small_bytes)) ||
  fail "1 GB converted to $large_bytes bytes, expected $((copies * small_bytes))"
((large_rss <= max_rss_kib && large_rss <= small_rss + 4096)) ||
  fail "peak RSS $large_rss KiB on 1 GB against $small_rss KiB on 1 MB"
echo "e2e-large-input: kmx685-convert: $convert_s s, peak RSS $large_rss KiB (1 MB input: $small_rss KiB)"

# The window: the same file, cancelled while the progress dialog shows.
work=$tmp/praca
mkdir -p "$work"
printf '%s' "$old_obsbieg" >"$work/OBSBIEG"
install_program "$program" "$tmp/bin" "$work"
xvfb_start "$tmp"
start_program "$tmp/bin/RejKMX" "$tmp/app.log"
window=$(wait_window "^${title}\$") || true
[[ -n $window ]] || fail "no window titled \"$title\""
rss_before=$(awk '/^VmRSS/ { print $2 }' "/proc/$app_pid/status")

# Listed three times, so that even a fast machine is still converting when the
# dialog is cancelled.
type_files_and_execute "$window" "$tmp/duzy.txt" "$tmp/duzy.txt" "$tmp/duzy.txt"
start=$(seconds)

# The dialog carries the application's name as its title, like the main window.
progress_dialog() {
  xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | grep -vx "$window" | head -n1
}
dialog_shown() { [[ -n $(progress_dialog) ]]; }
wait_for 15 dialog_shown || fail "no progress dialog within 15 s of WYKONAJ"
dialog=$(progress_dialog)
shown_s=$(since "$start")
import -window "$dialog" "$tmp/progress-1.png"
sleep 1
import -window "$dialog" "$tmp/progress-2.png"
compare -metric AE "$tmp/progress-1.png" "$tmp/progress-2.png" null: 2>/dev/null &&
  fail "the progress dialog did not advance in a second"
cmp -s <(printf '%s' "$old_obsbieg") "$work/OBSBIEG" || fail "OBSBIEG changed while converting"

# The dialog is modal and holds the keyboard: Escape is its "Anuluj".
xdotool key Escape
wait_no_window "$dialog" 10 || fail "Escape did not cancel the conversion"
cancelled_s=$(since "$start")
kill -0 "$app_pid" 2>/dev/null || fail "RejKMX ended"
rss_peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$app_pid/status")
cmp <(printf '%s' "$old_obsbieg") "$work/OBSBIEG" || fail "the cancel did not keep the old OBSBIEG"
[[ $(ls -A "$work") == OBSBIEG ]] || fail "stray files in the working folder: $(ls -A "$work" | tr "\n" " ")"
[[ -z $(progress_dialog) ]] || fail "a second dialog (a message?) appeared after the cancel"
((rss_peak - rss_before <= 64 * 1024)) ||
  fail "RejKMX grew from $rss_before to a peak of $rss_peak KiB while converting"

if [[ -n $out_dir ]]; then
  mkdir -p "$out_dir"
  cp "$tmp/progress-1.png" "$tmp/progress-2.png" "$out_dir/"
fi
echo "e2e-large-input: progress shown after $shown_s s, cancelled after $cancelled_s s;" \
  "RejKMX RSS $rss_before KiB before, peak $rss_peak KiB; old OBSBIEG kept"
