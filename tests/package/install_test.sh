#!/usr/bin/env bash
# Installs a build into a scratch DESTDIR under a prefix of its own and checks
# what a user gets, and that nothing lands outside the prefix.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: install_test.sh BUILD_DIR}
source "$(dirname "$0")/checks.sh"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=/opt/skyhook-test

DESTDIR=$scratch/dest cmake --install "$build" --prefix "$prefix" >"$scratch/log" 2>&1 ||
  fail "cmake --install failed: $(cat "$scratch/log")"
check_installed_tree "$scratch/dest$prefix"

stray=$(cd "$scratch/dest" && find . ! -type d ! -path ".$prefix/*")
[ -z "$stray" ] || fail "installed outside the prefix $prefix: $stray"

# An installed program must not look for libraries in the build tree.
if readelf -d "$scratch/dest$prefix/games/skyhook" | grep -E 'R(UN)?PATH' | grep -qF "$(cd "$build" && pwd)"; then
  fail "the installed program keeps a library path into the build tree"
fi
echo "install test: games/skyhook, its desktop entry, icon, manual page, metadata and copyright under $prefix"
