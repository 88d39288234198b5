#!/usr/bin/env bash
# Installs the Debian packages that are missing, and nothing when all are present.
#   scripts/install-deps.sh run    what building and running the sandbox needs
#   scripts/install-deps.sh test   that, plus what the tests, the benchmark and the package need
set -euo pipefail

# librsvg2-bin and imagemagick render the icons from the SVG at build time;
# libzstd-dev packs the snapshots of the history that Backspace goes back through.
# clang-format: the structure test checks the code is laid out as .clang-format says.
run_packages=(build-essential cmake pkg-config libbox2d-dev libsdl1.2-dev freeglut3-dev
              libgl-dev libglu1-mesa-dev librsvg2-bin imagemagick libzstd-dev)
test_packages=(googletest libgtest-dev libx11-dev xvfb xdotool x11-apps xauth clang-format
               desktop-file-utils dpkg-dev file libxml2-utils man-db appstream lintian)

wanted=("${run_packages[@]}")
case "${1:-run}" in
  run) ;;
  test) wanted+=("${test_packages[@]}") ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
