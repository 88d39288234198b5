#!/usr/bin/env bash
# The house's shape holds: includes between the folders of src/ run down the
# layers, no folder's files include one another in a circle, the console is
# reached through its sink rather than by taking over a stream, few files
# need the whole state, and the code is formatted as .clang-format says.
#   structure_test.sh SOURCE_DIR
set -euo pipefail
source_dir=${1:?usage: structure_test.sh SOURCE_DIR}
cd "$source_dir"
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Lower layers first; folders of one rank must not include each other.
declare -A rank=([base]=0 [state]=1 [bodies]=2 [terrain]=3 [game]=4 [recording]=5 [render]=5
                 [session]=6 [app]=7)
for dir in src/*/; do
  folder=$(basename "$dir")
  [ -n "${rank[$folder]:-}" ] || fail "src/$folder is no layer of this test's list"
done

# "FILE INCLUDED" for every include of ours under src/.
includes=$(grep -rHoE '^#include "[a-z_]+/[a-z_]+\.h"' src | sed -E 's/:#include "(.*)"$/ \1/')
[ -n "$includes" ] || fail "read no includes under src/"

while read -r file included; do
  from=$(cut -d/ -f2 <<<"$file")
  to=${included%%/*}
  [ -e "src/$included" ] || fail "$file includes $included, which is not under src/"
  if [ "$from" != "$to" ] && [ "${rank[$to]}" -ge "${rank[$from]}" ]; then
    fail "$file includes $included: from $from up or across to $to"
  fi
done <<<"$includes"

# Within a folder, a file and its header are one unit; no circle of units.
circles=$(while read -r file included; do
  from=$(cut -d/ -f2- <<<"$file")
  [ "${from%%/*}" = "${included%%/*}" ] || continue
  a=${from%.*} b=${included%.*}
  [ "$a" = "$b" ] || echo "$a $b"
done <<<"$includes" | tsort 2>&1 >/dev/null || true)
[ -z "$circles" ] || fail "files of one folder include each other: $circles"

# Console lines go through the sink; nothing takes a stream's place.
swapped=$(grep -rln 'rdbuf(' src || true)
[ -z "$swapped" ] || fail "these swap a stream's buffer: $swapped"

# Files that need the whole state rather than a part of it, or the units.
whole=$(grep -rl '#include "state/state.h"' src | wc -l)
[ "$whole" -le 30 ] || fail "$whole files under src/ include state/state.h (at most 30)"

if ! command -v clang-format >/dev/null; then
  fail "clang-format is not installed (scripts/install-deps.sh test installs it)"
fi
unformatted=$(find src tests tools bench support \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 clang-format --dry-run 2>&1 | grep -oE '^[^:]+:[0-9]+:[0-9]+: warning' |
  cut -d: -f1 | sort -u || true)
[ -z "$unformatted" ] || fail "not formatted as .clang-format says: $unformatted"

echo "structure test: $(wc -l <<<"$includes") includes run down the layers; $whole files include" \
  "the whole state"
