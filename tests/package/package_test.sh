#!/usr/bin/env bash
# Builds the Debian package of a build with CPack, checks its control fields and
# that its dependencies name the package of every library the program links,
# unpacks it into a scratch root, checks the files and starts the program.
#   package_test.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: package_test.sh BUILD_DIR}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1600x1200x24" "$0" "$@"
fi
source "$(dirname "$0")/checks.sh"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/log" 2>&1 ||
  fail "cpack -G DEB failed: $(cat "$scratch/log")"
debs=("$scratch"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, got: ${debs[*]}"
deb=${debs[0]}

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = skyhook ] || fail "Package is '$(field Package)'"
[ "$(field Section)" = games ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
# The package names alone, one a line, versions and alternatives taken apart.
names=$(tr ',|' '\n\n' <<<"$depends" | sed -E 's/\(.*\)//; s/[[:space:]]//g' | grep -v '^$')
for wanted in libbox2d2 libsdl1.2debian libglut3.12 libgl1 libglu1-mesa; do
  grep -qx "$wanted" <<<"$names" || fail "Depends lacks $wanted: $depends"
done

dpkg-deb -x "$deb" "$scratch/root"
check_installed_tree "$scratch/root/usr"
outside=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v '^\./usr/' | grep -v '^\./$' || true)
[ -z "$outside" ] || fail "the package puts files outside /usr: $outside"

# dpkg knows a file by the path its package gave it: with /usr merged into /,
# that may be the path ldd prints, its target, or either with /usr added or dropped.
package_of() {  # PATH
  local real candidate
  real=$(readlink -f "$1")
  for candidate in "$1" "$real" "/usr$1" "/usr$real" "${1#/usr}" "${real#/usr}"; do
    dpkg -S "$candidate" 2>/dev/null | head -1 | cut -d: -f1 && return 0
  done
}

# Every library the program links comes from a package that Depends names.
program=$scratch/root/usr/bin/skyhook
for lib in $(readelf -d "$program" | sed -nE 's/.*NEEDED.*\[(.*)\]/\1/p'); do
  path=$(ldd "$program" | awk -v lib="$lib" '$1 == lib { print $3 }')
  [ -n "$path" ] && [ -e "$path" ] || fail "$lib is not found on this machine"
  owner=$(package_of "$path")
  [ -n "$owner" ] || fail "$lib ($path) comes from no Debian package"
  grep -qx "$owner" <<<"$names" || fail "the program links $lib from $owner, which Depends does not name: $depends"
done

check_starts_and_quits "$program" "$scratch"
echo "package test: $(basename "$deb"), Depends: $depends"
