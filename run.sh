#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts the sandbox.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh run
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DSKYHOOK_TESTS=OFF -DSKYHOOK_BENCH=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target skyhook
exec build/release/skyhook "$@"
