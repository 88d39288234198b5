#!/usr/bin/env bash
# Builds the fuzzer and runs it: the game plays headless with seeded random
# input, checked after every frame. On the first failure it leaves the
# recording that reproduces it in build/fuzz/ (replay it with
# `skyhook --replay FILE --headless`) and exits with status 1.
#   scripts/fuzz.sh [--frames N] [--seed S] [--sanitize]
# --sanitize: built and run with AddressSanitizer and UndefinedBehaviorSanitizer.
# Without --seed the seed comes from the clock; the last line names it.
set -euo pipefail
cd "$(dirname "$0")/.."
usage() {
  echo "usage: scripts/fuzz.sh [--frames N] [--seed S] [--sanitize]" >&2
  exit 2
}
frames=100000
seed=$(date +%s)
build=build/release
configure=(-DCMAKE_BUILD_TYPE=Release -DSKYHOOK_SANITIZE=OFF -DSKYHOOK_TESTS=ON -DSKYHOOK_BENCH=ON)
while [ $# -gt 0 ]; do
  case "$1" in
    --frames) [ $# -ge 2 ] || usage; frames=$2; shift 2 ;;
    --seed) [ $# -ge 2 ] || usage; seed=$2; shift 2 ;;
    --sanitize)
      build=build/asan
      configure=(-DCMAKE_BUILD_TYPE=Debug -DSKYHOOK_SANITIZE=ON -DSKYHOOK_TESTS=ON
                 -DSKYHOOK_BENCH=OFF)
      shift ;;
    *) usage ;;
  esac
done

cmake -S . -B "$build" "${configure[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)" --target skyhook_fuzz >/dev/null
mkdir -p build/fuzz
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
exec "$build/tools/fuzz/skyhook_fuzz" --frames "$frames" --seed "$seed" \
  --out "build/fuzz/seed-$seed.rec"
