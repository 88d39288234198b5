#!/usr/bin/env bash
# The help, the README and the manual page say the same: every option and key
# that --help lists, with its words, is in the README's tables and in the
# manual page; the manual page names the version that --version prints.
#   docs_test.sh PROGRAM SOURCE_DIR
set -euo pipefail
program=${1:?usage: docs_test.sh PROGRAM SOURCE_DIR}
source_dir=${2:?usage: docs_test.sh PROGRAM SOURCE_DIR}
source "$(dirname "$0")/checks.sh"

# No display is needed for either.
help=$(env -u DISPLAY "$program" --help) || fail "--help failed"
version=$(env -u DISPLAY "$program" --version) || fail "--version failed"

# Lower case, one space between words, no markup: what a reader sees.
flatten() { tr '\n' ' ' | tr -d '`' | tr -s ' \t' '  ' | tr '[:upper:]' '[:lower:]'; }
readme=$(flatten <"$source_dir/README.md")
manual=$(LC_ALL=C MANWIDTH=1000 man -l "$source_dir/data/skyhook.6" 2>/dev/null | col -b | flatten)

# The two-column rows of the help's Options and Keys: "LABEL<TAB>DESCRIPTION".
rows=$(awk '
  /^Options:$/ || /^Keys:$/ { inside = 1; next }
  /^$/ { if (row != "") print row; row = ""; inside = 0; next }
  inside {
    line = $0; sub(/^ +/, "", line)
    if (split(line, parts, /  +/) >= 2) {
      if (row != "") print row
      row = parts[1] "\t" substr(line, length(parts[1]) + 1)
      sub(/\t +/, "\t", row)
    } else {
      row = row " " line
    }
  }
  END { if (row != "") print row }' <<<"$help")
count=$(grep -c . <<<"$rows")
[ "$count" -ge 10 ] || fail "found only $count option and key rows in --help: $help"

while IFS=$'\t' read -r label description; do
  label=$(flatten <<<"$label" | sed 's/ $//')
  description=$(flatten <<<"$description" | sed 's/ $//')
  # README: a table row "| label | description |".
  [[ $readme == *"| $label | $description |"* ]] || fail "README has no row '| $label | $description |'"
  # The manual page: the label, then the description.
  [[ $manual == *"$label $description"* ]] || fail "the manual page lacks '$label' '$description'"
done <<<"$rows"

[[ $manual == *"skyhook ${version#skyhook }"* ]] || fail "the manual page does not name $version"
[[ $readme == *"skyhook [option]..."* && $manual == *"skyhook [--fullscreen] [--display=name]"* ]] ||
  fail "the README or the manual page lacks the usage"
echo "docs test: $count options and keys of --help in the README and the manual page; $version"
