#!/usr/bin/env bash
# The fuzzer hands back what broke. With a fault planted it stops at the frame
# where a check first fails and leaves the recording; replayed, the recording
# fails the same way at the same frame, runs clean without the fault, and the
# real program plays it headless. A clean run leaves no recording behind, and
# one killed with kill -9 a recording that plays.
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

# Killed at any moment, the writer leaves whole lines, which play. Many lines
# go out between any two seconds here, far more than a write buffer holds.
killed=$scratch/killed.rec
"$fuzz" --frames 8000000 --seed 8 --out "$killed" >/dev/null &
pid=$!
for _ in $(seq 600); do
  [ "$(stat -c %s "$killed" 2>/dev/null || echo 0)" -gt 65536 ] && break
  sleep 0.05
done
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
[ "$(tail -c 1 "$killed" | od -An -c | tr -d ' ')" = '\n' ] ||
  fail "the killed fuzzer left a line cut off: $(tail -c 60 "$killed")"
env -u DISPLAY "$program" --replay "$killed" --headless >/dev/null 2>"$scratch/killed.err" ||
  fail "the killed fuzzer's recording does not replay: $(cat "$scratch/killed.err")"

"$fuzz" --frames "$frame" --seed 7 --out "$scratch/none.rec" >/dev/null ||
  fail "seed 7 fails without the fault"
[ ! -e "$scratch/none.rec" ] || fail "a clean run left a recording"
echo "fuzz test: passed"
