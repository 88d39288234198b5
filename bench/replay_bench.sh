#!/usr/bin/env bash
# The headless replay's speed against real time, and the size of a ten-minute
# recording. The fuzzer plays ten minutes at 60 frames/s (36,000 frames) of its
# seeded random input, denser than a person's, and keeps the recording; the
# program then replays it without a window.
#   bench/replay_bench.sh [BUILD_DIR]      (default build/release; built first)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
cmake --build "$build" -j"$(nproc)" --target skyhook skyhook_fuzz >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
recording=$scratch/ten-minutes.rec

"$build/tools/fuzz/skyhook_fuzz" --frames 36000 --seed 42 --keep --out "$recording" >/dev/null
size=$(stat -c %s "$recording")
echo "ten minutes of the fuzzer's input: $size bytes, $(wc -l <"$recording") lines"
for run in 1 2 3; do
  /usr/bin/time -f "%e %U" -o "$scratch/time" \
    env -u DISPLAY "$build/skyhook" --replay "$recording" --headless >/dev/null
  read -r wall user <"$scratch/time"
  awk -v w="$wall" -v u="$user" 'BEGIN {
    printf "headless replay of 36,000 frames: %.1f s (%.1f s CPU), %.0f frames/s, ", w, u, 36000 / w
    printf "%.0f x real time\n", 600 / w }'
done
