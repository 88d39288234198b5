#!/usr/bin/env bash
# Quitting after a long session: resumes a ten-minute recording (a plain car
# every 5 s, Space held a third of the time) in the window on a private Xvfb
# display, plays on live for 15 s (past the automatic save's 10 s), presses
# Escape and reports how long the window and the process take to go, with the
# automatic save and with --no-autosave.
#   bench/quit_bench.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/release}")
cmake --build "$build" -j"$(nproc)" --target skyhook >/dev/null
scratch=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null; rm -rf "$scratch"' EXIT
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1600x1200x24 -noreset >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY=$display SDL_AUDIODRIVER=dummy XDG_DATA_HOME=$scratch/data
awk 'BEGIN {
  print "skyhook-recording 2 skyhook 0.1.0"; print "0 clock 0 1700000000"; s = 1700000000
  for (f = 1; f < 36000; ++f) {
    line = ""
    if (f % 300 == 5) line = line " press c " 200 + (f * 7) % 900 " " 100 + (f * 3) % 300
    if (f % 1000 == 10) line = line " down space"
    if (f % 1000 == 400) line = line " up space"
    if (f % 60 == 0) line = line " clock 0 " ++s
    if (line != "") print f line
  }
  print "end 36000" }' >"$scratch/long.rec"
now() { date +%s.%N; }
for options in "" "--no-autosave"; do
  # shellcheck disable=SC2086
  "$build/skyhook" --resume "$scratch/long.rec" $options >/dev/null 2>"$scratch/err" &
  game=$!
  until grep -q "^skyhook: resumed" "$scratch/err"; do sleep 0.2; done
  sleep 15
  rss=$(awk '/VmRSS/ { print $2 / 1024 }' "/proc/$game/status")
  start=$(now)
  xdotool key Escape
  gone=
  while kill -0 "$game" 2>/dev/null; do
    [ -z "$gone" ] && ! xdotool search --pid "$game" >/dev/null 2>&1 && gone=$(now)
    sleep 0.005
  done
  end=$(now)
  wait "$game" || true
  saved=$(grep -c "automatic save" "$scratch/err" || true)
  printf 'quit %-14s %4.0f MiB resident: window gone in %.3f s, process in %.3f s (%s automatic save)\n' \
    "${options:-(default)}" "$rss" "$(echo "${gone:-$end} - $start" | bc)" "$(echo "$end - $start" | bc)" "$saved"
done
