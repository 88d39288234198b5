#!/usr/bin/env bash
# The fuzzer hands back what broke. With a fault planted it stops at the frame
# where a check first fails and leaves the recording; replayed, the recording
# fails the same way at the same frame, runs clean without the fault, and the
# real program plays it headless. A clean run leaves no recording behind.
#   fuzz_test.sh FUZZER PROGRAM
set -euo pipefail
fuzz=${1:?usage: fuzz_test.sh FUZZER PROGRAM}
program=${2:?usage: fuzz_test.sh FUZZER PROGRAM}
source "$(dirname "$0")/../package/checks.sh"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
found=$scratch/found.rec

status=0
run=$scratch/run
"$fuzz" --frames 5000 --seed 7 --plant-fault --out "$found" >"$run" || status=$?
[ "$status" -eq 1 ] || fail "the fuzzer ended with status $status on a planted fault: $(cat "$run")"
failure=$(grep -m1 '^fuzz: frame [0-9]*: ' "$run") || fail "no failure line: $(cat "$run")"
frame=$(sed 's/^fuzz: frame \([0-9]*\): .*/\1/' <<<"$failure")
[ "$(tail -n 1 "$run")" = "fuzz: $frame frames, seed 7, 1 failures" ] ||
  fail "the last line reads: $(tail -n 1 "$run")"
[ "$(tail -n 1 "$found")" = "end $frame" ] || fail "the recording does not end at frame $frame"

status=0
"$fuzz" --replay "$found" --plant-fault >"$scratch/replayed" || status=$?
[ "$status" -eq 1 ] || fail "the replay ended with status $status"
grep -qxF "$failure" "$scratch/replayed" ||
  fail "the replay failed otherwise: $(cat "$scratch/replayed")"
"$fuzz" --replay "$found" >"$scratch/clean" ||
  fail "it fails without the fault: $(cat "$scratch/clean")"
env -u DISPLAY "$program" --replay "$found" --headless >/dev/null ||
  fail "the program does not replay the fuzzer's recording headless"

"$fuzz" --frames "$frame" --seed 7 --out "$scratch/none.rec" >/dev/null ||
  fail "seed 7 fails without the fault"
[ ! -e "$scratch/none.rec" ] || fail "a clean run left a recording"
echo "fuzz test: passed"
