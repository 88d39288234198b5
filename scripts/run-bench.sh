#!/usr/bin/env bash
# Builds in Release and prints the scrolling benchmark's figures (under Xvfb
# when no display is set).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DSKYHOOK_BENCH=ON >/dev/null
cmake --build build/release -j"$(nproc)" --target scroll_bench
if [ -n "${DISPLAY:-}" ]; then
  build/release/bench/scroll_bench "$@"
else
  xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" build/release/bench/scroll_bench "$@"
fi
