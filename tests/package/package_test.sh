#!/usr/bin/env bash
# Builds the Debian package of a build with CPack, checks its control fields and
# the dependencies that dpkg-shlibdeps computed, runs lintian on it, unpacks it
# into a scratch root, checks the files and starts the program.
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
# dpkg-shlibdeps derived Depends from the program: it must name the libraries'
# packages with versions, and every group must be met by a package installed here.
names=$(tr ',|' '\n\n' <<<"$depends" | sed -E 's/\(.*\)//; s/[[:space:]]//g' | grep -v '^$')
for wanted in libbox2d2 libsdl1.2debian libglut3.12 libglu1-mesa libopengl0 libgl1 libc6; do
  grep -qx "$wanted" <<<"$names" || fail "Depends lacks $wanted: $depends"
done
grep -q 'libbox2d2 (>= ' <<<"$depends" || fail "Depends carries no versions: $depends"
met() {  # ONE ALTERNATIVE, e.g. "libc6 (>= 2.34)"
  local name op version installed
  read -r name op version <<<"$(sed -E 's/[(),]/ /g' <<<"$1")"
  installed=$(dpkg-query -W -f '${Status} ${Version}' "$name" 2>/dev/null) || return 1
  [[ $installed == "install ok installed "* ]] || return 1
  [ -z "$op" ] || dpkg --compare-versions "${installed##* }" "$op" "$version"
}
IFS=',' read -ra groups <<<"$depends"
for group in "${groups[@]}"; do
  IFS='|' read -ra alternatives <<<"$group"
  ok=no
  for alternative in "${alternatives[@]}"; do
    met "$alternative" && ok=yes && break
  done
  [ $ok = yes ] || fail "nothing installed here meets the dependency '$group'"
done

# Lintian: no error and no warning (the overrides the package ships say why).
lintian --fail-on error,warning --display-info "$deb" >"$scratch/lintian" 2>&1 ||
  fail "lintian: $(cat "$scratch/lintian")"

dpkg-deb -x "$deb" "$scratch/root"
check_installed_tree "$scratch/root/usr"
outside=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v '^\./usr/' | grep -v '^\./$' || true)
[ -z "$outside" ] || fail "the package puts files outside /usr: $outside"

program=$scratch/root/usr/games/skyhook
check_starts_and_quits "$program" "$scratch"
echo "package test: $(basename "$deb"), Depends: $depends"
sed 's/^/lintian: /' "$scratch/lintian"
