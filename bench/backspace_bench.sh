#!/usr/bin/env bash
# Backspace on the real program after two minutes of play: pictures a second
# and the widest gap between two, read from every buffer swap by the preloaded
# swap counter. Plays 125 s (C at the pointer, then 2 s of Space, over and
# over) on a private Xvfb display, holds Backspace 3 s, and reports the two
# seconds in the middle of the hold.
#   bench/backspace_bench.sh [BUILD_DIR]   (default build/release, configured with the tests)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/release}")
cmake --build "$build" -j"$(nproc)" --target skyhook swap_counter >/dev/null
scratch=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null; rm -rf "$scratch"' EXIT
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1600x1200x24 -noreset >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY=$display SDL_AUDIODRIVER=dummy
LD_PRELOAD=$(find "$build/tests" -name 'libswap_counter.so' | head -1) \
  SKYHOOK_SWAP_LOG=$scratch/swaps "$build/skyhook" >/dev/null &
game=$!
sleep 2
xdotool key b
end=$((SECONDS + 125))
x=200
while [ "$SECONDS" -lt "$end" ]; do
  xdotool mousemove "$x" 300 key c keydown space sleep 2 keyup space
  x=$((x % 1100 + 150))
done
xdotool keydown BackSpace sleep 3 keyup BackSpace
sleep 0.3
xdotool key Escape
wait "$game"
awk '{ t[NR] = $1 * 1e-9 } END {
  to = t[NR] - 0.8; from = to - 2
  for (i = 2; i <= NR; ++i) if (t[i] >= from && t[i] < to) {
    n++; if (t[i] - t[i - 1] > widest) widest = t[i] - t[i - 1] }
  printf "Backspace after two minutes: %.1f pictures/s, widest gap %.0f ms\n", n / 2, widest * 1e3 }' \
  "$scratch/swaps"
