#!/usr/bin/env bash
# Runs the README's screenshot command twice into scratch files: it gives a
# 1280 x 940 PNG, the same picture both times, with the crane car's black hull
# and the sky in it; and it fails with a message when the program cannot run.
#   screenshot_test.sh SCRIPT PROGRAM
set -euo pipefail
script=${1:?usage: screenshot_test.sh SCRIPT PROGRAM}
program=${2:?usage: screenshot_test.sh SCRIPT PROGRAM}
source "$(dirname "$0")/checks.sh"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

"$script" "$program" "$scratch/one.png" || fail "the screenshot command failed on $program"
"$script" "$program" "$scratch/two.png" || fail "the screenshot command failed the second time"
[ "$(identify -format '%m %w %h' "$scratch/one.png")" = "PNG 1280 940" ] ||
  fail "the picture is not a 1280 x 940 PNG: $(identify "$scratch/one.png")"
cmp -s "$scratch/one.png" "$scratch/two.png" || fail "two runs gave different pictures"
# Black bodies and a sky that is not black: something was drawn on a cleared frame.
histogram=$(convert "$scratch/one.png" -format %c histogram:info:-)
colours=$(wc -l <<<"$histogram")
[ "$colours" -gt 10 ] || fail "the picture has only $colours colours"
grep -q '#000000' <<<"$histogram" || fail "no black body in the picture"

status=0
"$script" /bin/false "$scratch/none.png" 2>"$scratch/err" || status=$?
[ "$status" -ne 0 ] || fail "the command succeeded with a program that fails"
grep -q 'screenshot:' "$scratch/err" || fail "no clear message: $(cat "$scratch/err")"
[ ! -e "$scratch/none.png" ] || fail "the command wrote a picture of a program that failed"
echo "screenshot test: passed"
