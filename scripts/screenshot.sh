#!/usr/bin/env bash
# Draws the README's picture with the sandbox's own drawing code under Xvfb and
# writes it as PNG. The scene comes from a pinned clock: every run gives the
# same picture.
#   scripts/screenshot.sh [PROGRAM [OUTPUT.png]]
# Defaults: build/release/skyhook_screenshot and docs/screenshot.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build/release/skyhook_screenshot}
output=${2:-$root/docs/screenshot.png}

fail() { echo "screenshot: $*" >&2; exit 1; }
[ -x "$program" ] || fail "no program at $program (build it: cmake --build build/release --target skyhook_screenshot)"
command -v convert >/dev/null || fail "convert is missing (scripts/install-deps.sh test installs ImageMagick)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if [ -n "${DISPLAY:-}" ]; then
  "$program" "$scratch/shot.ppm" || fail "$program failed"
else
  xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" "$program" "$scratch/shot.ppm" ||
    fail "$program failed"
fi
# -strip keeps ImageMagick's time stamps out, so the same picture gives the same file.
convert "$scratch/shot.ppm" -strip "$output"
