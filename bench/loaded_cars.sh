#!/usr/bin/env bash
# The real program sharing one core with a busy process, C pressed ten times a
# second at one spot: frames per second (from the preloaded swap counter) and
# resident memory every 10 s, then how long Escape takes to end it.
#   bench/loaded_cars.sh [SECONDS [PROGRAM [SWAP_COUNTER]]]
# Defaults: 180 s, build/release/skyhook, build/release/tests/libswap_counter.so.
# Runs itself under Xvfb when no display is set.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
duration=${1:-180}
program=${2:-$root/build/release/skyhook}
counter=${3:-$root/build/release/tests/libswap_counter.so}
[ -x "$program" ] && [ -f "$counter" ] || { echo "build $program and $counter first" >&2; exit 1; }
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" "$0" "$duration" "$program" "$counter"
fi

scratch=$(mktemp -d)
taskset -c 0 sh -c 'while :; do :; done' &
busy=$!
LD_PRELOAD=$counter SKYHOOK_SWAP_LOG=$scratch/swaps SDL_AUDIODRIVER=dummy \
  taskset -c 0 "$program" >/dev/null 2>"$scratch/errors" &
game=$!
trap 'kill $busy 2>/dev/null; kill $game 2>/dev/null; rm -rf "$scratch"' EXIT

window=
for _ in $(seq 300); do
  for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    xdotool getwindowgeometry "$w" | grep -q 1280x940 && window=$w
  done
  [ -n "$window" ] && [ -s "$scratch/swaps" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "no window" >&2; exit 1; }
xdotool mousemove --window "$window" 640 470
xdotool key --repeat $((duration * 10)) --repeat-delay 100 c &
presser=$!

count() { wc -l <"$scratch/swaps"; }
before=$(count)
echo "seconds  frames/s  resident MiB"
for ((t = 10; t <= duration; t += 10)); do
  sleep 10
  after=$(count)
  rss=$(awk '/VmRSS/ { printf "%.0f", $2 / 1024 }' "/proc/$game/status")
  echo "$t  $(( (after - before) / 10 ))  $rss"
  before=$after
done
wait $presser 2>/dev/null || true
pressed=$(date +%s.%N)
xdotool key Escape
for _ in $(seq 600); do kill -0 $game 2>/dev/null || break; sleep 0.05; done
kill -0 $game 2>/dev/null && { echo "still running 30 s after Escape"; exit 1; }
wait $game && status=0 || status=$?
echo "Escape ended it in $(awk -v a="$pressed" -v b="$(date +%s.%N)" 'BEGIN { printf "%.2f", b - a }') s, status $status; $(count) frames in all"
