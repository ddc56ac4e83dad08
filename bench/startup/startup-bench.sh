#!/usr/bin/env bash
# Time from process start to main window shown, RejKMX against a bare Qt window,
# under a private Xvfb server. Prints the medians and their ratio (goal <= 1.5).
#
#   startup-bench.sh <RejKMX binary> <bare window binary> [runs]
set -euo pipefail

program=${1:?usage: startup-bench.sh <RejKMX> <bare window> [runs]}
bare=${2:?usage: startup-bench.sh <RejKMX> <bare window> [runs]}
runs=${3:-10}

tmp=$(mktemp -d)
xvfb_pid=
cleanup() {
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

# RejKMX runs from a copy with its own kavero.ini, as installed.
mkdir "$tmp/bin" "$tmp/work"
cp "$program" "$tmp/bin/RejKMX"
printf '[General]\r\nPath=%s\r\n' "$tmp/work" >"$tmp/bin/kavero.ini"

Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$tmp/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s $tmp/display ]] && break
  sleep 0.1
done
[[ -s $tmp/display ]] || { echo "bench: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$tmp/display")" QT_QPA_PLATFORM=xcb REJKMX_REPORT_SHOWN=1

# Milliseconds from starting $1 to its "shown" line; the program is then ended.
time_to_shown() {
  local fifo="$tmp/fifo" start end pid line
  rm -f "$fifo"
  mkfifo "$fifo"
  start=$(date +%s%N)
  "$1" >"$fifo" 2>/dev/null &
  pid=$!
  read -r -t 20 line <"$fifo" || true
  end=$(date +%s%N)
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [[ $line == shown ]] || { echo "bench: $1 never reported its window" >&2; exit 1; }
  echo $(((end - start) / 1000000))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One warm-up run each, then alternate so both see the same machine load.
time_to_shown "$bare" >/dev/null
time_to_shown "$tmp/bin/RejKMX" >/dev/null
: >"$tmp/bare.ms"
: >"$tmp/app.ms"
for _ in $(seq "$runs"); do
  time_to_shown "$bare" >>"$tmp/bare.ms"
  time_to_shown "$tmp/bin/RejKMX" >>"$tmp/app.ms"
done

bare_ms=$(median <"$tmp/bare.ms")
app_ms=$(median <"$tmp/app.ms")
echo "bare Qt window: median ${bare_ms} ms  (runs: $(paste -sd' ' "$tmp/bare.ms"))"
echo "RejKMX:         median ${app_ms} ms  (runs: $(paste -sd' ' "$tmp/app.ms"))"
awk -v a="$app_ms" -v b="$bare_ms" 'BEGIN { printf "ratio RejKMX / bare: %.2f (goal <= 1.50)\n", a / b }'
