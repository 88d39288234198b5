#!/usr/bin/env bash
# Builds twice and runs every test under one Xvfb display:
#   build/release  the program and the end-to-end tests (Release)
#   build/asan     the core and OpenGL tests (label unit) with AddressSanitizer and UBSan,
#                  and a short fuzz: random play, checked after every frame
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
# CI sets SKYHOOK_WERROR=ON: a warning fails its build; a user's build only warns.
werror=-DSKYHOOK_WERROR=${SKYHOOK_WERROR:-OFF}

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DSKYHOOK_TESTS=ON -DSKYHOOK_BENCH=ON "$werror" >/dev/null
cmake --build build/release -j"$jobs"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DSKYHOOK_SANITIZE=ON -DSKYHOOK_TESTS=ON -DSKYHOOK_BENCH=OFF "$werror" >/dev/null
cmake --build build/asan -j"$jobs" --target skyhook_core_tests skyhook_gl_tests

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export SDL_AUDIODRIVER=dummy
status=0
# -noreset: the server otherwise resets whenever its last client leaves and
# refuses the OpenGL test that connects during the reset.
xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" \
  ctest --test-dir build/asan -L unit --output-on-failure -j"$jobs" || status=1
xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" \
  ctest --test-dir build/release -L 'e2e|package' --output-on-failure || status=1
scripts/fuzz.sh --frames 30000 --seed 1 --sanitize || status=1
if [ "$status" -ne 0 ]; then
  echo "TESTS FAILED" >&2
else
  echo "ALL TESTS PASSED"
fi
exit "$status"
