#!/usr/bin/env bash
# The headless replay's speed against real time, its peak memory, and the size
# of the recording. The fuzzer plays FRAMES frames (default 36,000: ten minutes
# at 60 frames/s) of its seeded random input, denser than a person's, holding
# Backspace now and then, and keeps the recording; the program then replays it
# without a window, three times.
#   bench/replay_bench.sh [BUILD_DIR] [FRAMES]   (default build/release; built first)
# The 30-minute row: bench/replay_bench.sh build/release 108000
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
frames=${2:-36000}
cmake --build "$build" -j"$(nproc)" --target skyhook skyhook_fuzz >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
recording=$scratch/fuzzed.rec

"$build/tools/fuzz/skyhook_fuzz" --frames "$frames" --seed 42 --keep --out "$recording" >/dev/null
size=$(stat -c %s "$recording")
echo "$frames frames of the fuzzer's input: $size bytes, $(wc -l <"$recording") lines," \
  "Backspace held $(grep -c 'down backspace' "$recording") times"
for run in 1 2 3; do
  /usr/bin/time -f "%e %U %M" -o "$scratch/time" \
    env -u DISPLAY "$build/skyhook" --replay "$recording" --headless >/dev/null
  read -r wall user peak <"$scratch/time"
  awk -v w="$wall" -v u="$user" -v m="$peak" -v n="$frames" 'BEGIN {
    printf "headless replay of %d frames: %.1f s (%.1f s CPU), %.0f frames/s, ", n, w, u, n / w
    printf "%.0f x real time (%.0f x by CPU), peak %.0f MiB resident\n", n / 60 / w, n / 60 / u, m / 1024 }'
done
