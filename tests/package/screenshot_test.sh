#!/usr/bin/env bash
# Runs the README's screenshot script on the real program into a scratch file and
# checks the picture; then checks that the script fails, with a message, when
# the program does not start.
#   screenshot_test.sh SCRIPT PROGRAM
set -euo pipefail
script=${1:?usage: screenshot_test.sh SCRIPT PROGRAM}
program=${2:?usage: screenshot_test.sh SCRIPT PROGRAM}
source "$(dirname "$0")/checks.sh"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

"$script" "$program" "$scratch/shot.png" || fail "the screenshot script failed on $program"
[ "$(identify -format '%m %w %h' "$scratch/shot.png")" = "PNG 1280 940" ] ||
  fail "the picture is not a 1280 x 940 PNG: $(identify "$scratch/shot.png")"

status=0
"$script" /bin/false "$scratch/none.png" 2>"$scratch/err" || status=$?
[ "$status" -ne 0 ] || fail "the script succeeded with a program that does not start"
grep -q 'ended before it started' "$scratch/err" || fail "no clear message: $(cat "$scratch/err")"
[ ! -e "$scratch/none.png" ] || fail "the script wrote a picture of a program that did not start"
echo "screenshot test: passed"
