#!/usr/bin/env bash
# Takes the README's picture from the real program: scrolls until mountains come
# in, flies the ship up into the sky, presses B and captures the window once the
# crane car hangs below the ship.
#   scripts/screenshot.sh [BINARY [OUTPUT.png]]
# Defaults: build/release/skyhook and docs/screenshot.png. Without a DISPLAY it
# runs itself under Xvfb. Fails (non-zero, a message on standard error) when the
# program does not start, does not scroll or does not show the crane car.
# SCREENSHOT_VERBOSE=1 prints each step.
set -Eeuo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
binary=${1:-$root/build/release/skyhook}
output=${2:-$root/docs/screenshot.png}

fail() {
  echo "screenshot: $*" >&2
  exit 1
}
note() { [ -z "${SCREENSHOT_VERBOSE:-}" ] || echo "screenshot: ${SECONDS} s: $*"; }
trap 'echo "screenshot: failed: $BASH_COMMAND" >&2' ERR

[ -x "$binary" ] || fail "no program at $binary (build it first: cmake --build build/release)"
for tool in xdotool import convert; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh test installs it)"
done

if [ -z "${DISPLAY:-}" ]; then
  command -v xvfb-run >/dev/null || fail "no DISPLAY and no xvfb-run"
  exec xvfb-run -a -s "-screen 0 1600x1200x24" "$0" "$binary" "$output"
fi

# The program renders flat out on the same cores; ImageMagick's worker threads
# would spin against it and take seconds per picture.
export MAGICK_THREAD_LIMIT=1

readonly W=1280 H=940  # the program's window
# Where the ship is flown to, left of the mountains and high in the sky, and
# how far from there will do.
readonly SHIP_X=300 SHIP_Y=380 NEAR_X=150 NEAR_Y=180
work=$(mktemp -d)
pid= window= origin=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# --- pictures --------------------------------------------------------------

capture() {  # PICTURE: the window
  import -window root -crop "${W}x${H}+${origin}" +repage "$1"
}

# White where the picture is near black (every channel under 10 %): the bodies,
# the mountains and the cable are drawn in black.
dark_mask() {  # PICTURE MASK
  convert "$1" -channel RGB -separate -evaluate-sequence max -threshold 10% -negate "$2"
}

dark_count() {  # MASK X Y WIDTH HEIGHT: how many dark pixels in the rectangle
  local x=$(($2 < 0 ? 0 : $2)) y=$(($3 < 0 ? 0 : $3))
  convert "$1" -crop "${4}x${5}+${x}+${y}" +repage -format '%[fx:round(mean*w*h)]' info:
}

# The ship is the only solid black bar of 150 x 30 pixels: eroding by most of
# that size wipes out every other body and line. Works on a half-size copy,
# eroding along each axis in turn, which is many times faster.
locate_ship() {  # prints "x y" of the ship's centre in a fresh picture
  local box
  box=$(import -window root -crop "${W}x${H}+${origin}" +repage miff:- |
        convert - -sample 50% -channel RGB -separate -evaluate-sequence max -threshold 10% \
          -negate -morphology Erode Rectangle:61x1 -morphology Erode Rectangle:1x13 \
          -format '%@' info: 2>/dev/null)
  [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
  [ "${BASH_REMATCH[1]}" -gt 0 ] && [ "${BASH_REMATCH[1]}" -lt 60 ] || return 1
  echo $((2 * BASH_REMATCH[3] + BASH_REMATCH[1])) $((2 * BASH_REMATCH[4] + BASH_REMATCH[2]))
}

# The brightest channel of the commonest colour, in per cent.
sky_brightness() {  # PICTURE
  convert "$1" -format %c histogram:info:- | sort -rn | head -1 |
    sed -E 's/^[^(]*\(([0-9]+),([0-9]+),([0-9]+).*/\1 \2 \3/' |
    awk '{ m = $1; if ($2 > m) m = $2; if ($3 > m) m = $3; print int(100 * m / 255) }'
}

# --- the program -----------------------------------------------------------

alive() { kill -0 "$pid" 2>/dev/null; }

# Finds the visible 1280 x 940 top-level window: sets window and origin ("x+y").
find_window() {
  local id geometry
  for id in $(xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null); do
    geometry=$(xdotool getwindowgeometry --shell "$id" 2>/dev/null) || continue
    if grep -qx "WIDTH=$W" <<<"$geometry" && grep -qx "HEIGHT=$H" <<<"$geometry"; then
      window=$id
      origin=$(sed -n 's/^X=//p' <<<"$geometry")+$(sed -n 's/^Y=//p' <<<"$geometry")
      return 0
    fi
  done
  return 1
}

# With no window manager, keyboard focus follows the pointer: keep it inside.
press() {  # xdotool key arguments
  xdotool mousemove --window "$window" $((W / 2)) $((H / 2)) "$@"
}

start() {
  SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} "$binary" >"$work/out" 2>"$work/err" &
  pid=$!
  local i
  for i in $(seq 300); do  # 30 s
    grep -q '^SEED = ' "$work/out" && find_window && break
    alive || fail "the program ended before it started: $(cat "$work/err")"
    sleep 0.1
  done
  grep -q '^SEED = ' "$work/out" || fail "no \"SEED = \" line within 30 s"
  [ -n "$window" ] || fail "no ${W} x ${H} window within 30 s"
  press
  sleep 0.5
}

quit() {
  press key Escape
  local i status=0
  for i in $(seq 200); do  # 20 s
    alive || break
    sleep 0.1
  done
  alive && fail "the program did not end within 20 s of Escape"
  wait "$pid" || status=$?
  pid= window=
  [ "$status" -eq 0 ] || fail "the program ended with status $status: $(cat "$work/err")"
}

# --- flying the ship -------------------------------------------------------

# Waits until the ship has stopped coasting after a key was released: two
# pictures a second apart show it still, or creeping on at the same pace as in
# the second before (after a press the ship may keep a slow drift, a fortieth
# of a pixel a frame). Pictures are taken sparingly, as each one holds up the
# X server that the program draws through.
settled_ship() {  # prints "x y"
  local i x y nx ny dx dy pdx=100000 pdy=100000
  read -r x y < <(locate_ship) || return 1
  for i in $(seq 30); do
    sleep 1
    read -r nx ny < <(locate_ship) || return 1
    dx=$((nx - x)) dy=$((ny - y))
    [ $((dx * dx + dy * dy)) -le 64 ] && break
    [ $(((dx - pdx) * (dx - pdx) + (dy - pdy) * (dy - pdy))) -le 64 ] && break
    x=$nx y=$ny pdx=$dx pdy=$dy
  done
  echo "$nx" "$ny"
}

# A press of t seconds moves the ship GAIN * t * t pixels: its speed ramps up
# every frame the key is held, and it coasts to a stop after. The gain grows
# with the square of the frame rate, which nobody controls here, so the first
# press on each axis is a short probe, every press updates the gain, and each
# aims at most of the remaining distance rather than all of it.
press_time() {  # DISTANCE GAIN: seconds
  awk -v d="$1" -v k="$2" 'BEGIN { t = sqrt(0.7 * d / k); if (t < 0.02) t = 0.02; if (t > 0.5) t = 0.5; printf "%.3f\n", t }'
}

fly_to() {  # X Y
  local target_x=$1 target_y=$2 i x y dx dy axis key distance t moved nx ny
  local -A gain=([x]=0 [y]=0) probe=([x]=0.06 [y]=0.06)
  read -r x y < <(settled_ship) || fail "cannot find the ship"
  for i in $(seq 0 16); do
    dx=$((target_x - x)) dy=$((target_y - y))
    [ "${dx#-}" -le "$NEAR_X" ] && [ "${dy#-}" -le "$NEAR_Y" ] && return 0
    [ "$i" -lt 16 ] || break
    if [ $((${dx#-} * NEAR_Y)) -ge $((${dy#-} * NEAR_X)) ]; then
      axis=x distance=${dx#-} key=$([ "$dx" -gt 0 ] && echo Right || echo Left)
    else
      axis=y distance=${dy#-} key=$([ "$dy" -gt 0 ] && echo Down || echo Up)
    fi
    if [ "${gain[$axis]}" = 0 ]; then t=${probe[$axis]}; else t=$(press_time "$distance" "${gain[$axis]}"); fi
    note "ship at ($x, $y): $key for $t s"
    press keydown "$key"; sleep "$t"; xdotool keyup "$key"
    read -r nx ny < <(settled_ship) || fail "lost the ship while flying it"
    if [ "$axis" = x ]; then moved=$((nx - x)); else moved=$((ny - y)); fi
    moved=${moved#-}
    if [ "$moved" -ge 5 ]; then
      gain[$axis]=$(awk -v m="$moved" -v t="$t" 'BEGIN { print m / (t * t) }')
    elif [ "${gain[$axis]}" = 0 ]; then
      probe[$axis]=$(awk -v t="$t" 'BEGIN { print 2 * t }')
    fi
    x=$nx y=$ny
  done
  fail "could not fly the ship to ($target_x, $target_y); it is at ($x, $y)"
}

# --- the picture -----------------------------------------------------------

# The sky's colour is drawn at start; black bodies are lost on a near-black sky,
# so start again (a second later, for another draw) when it is too dark.
for attempt in 1 2 3 4 5 6; do
  start
  capture "$work/before.png"
  sky=$(sky_brightness "$work/before.png")
  [ "$sky" -ge 35 ] && break
  note "the sky is too dark (${sky} %), starting again"
  quit
  sleep 1
done
[ "$sky" -ge 35 ] || fail "the sky was too dark six times in a row"
dark_mask "$work/before.png" "$work/before-mask.png"

# Scroll until the mountains come into the right half: it was empty sky above
# the floor, so many new dark pixels there mean the landscape moved in.
right_before=$(dark_count "$work/before-mask.png" $((W / 2)) 0 $((W / 2)) $((H - 80)))
right=$right_before
scrolled=
press keydown space
for i in $(seq 60); do  # 30 s
  sleep 0.5
  alive || { xdotool keyup space; fail "the program ended while scrolling: $(cat "$work/err")"; }
  capture "$work/scroll.png"
  dark_mask "$work/scroll.png" "$work/scroll-mask.png"
  right=$(dark_count "$work/scroll-mask.png" $((W / 2)) 0 $((W / 2)) $((H - 80)))
  note "scrolling: $right dark pixels on the right"
  if [ $((right - right_before)) -ge 3000 ]; then scrolled=yes; break; fi
done
xdotool keyup space
[ -n "$scrolled" ] ||
  fail "no mountains came in while Space was held for 30 s (dark pixels on the right: $right_before, then $right)"

fly_to "$SHIP_X" "$SHIP_Y"
read -r ship_x ship_y < <(settled_ship) || fail "cannot find the ship"
capture "$work/ship.png"
dark_mask "$work/ship.png" "$work/ship-mask.png"
# The car is built 5 m (50 pixels) below the ship and hangs on the cable below that.
band=($((ship_x - 120)) $((ship_y + 40)) 240 160)
car_before=$(dark_count "$work/ship-mask.png" "${band[@]}")

note "ship at ($ship_x, $ship_y): B"
press key b
sleep 3  # let the car stop swinging
capture "$work/car.png"
dark_mask "$work/car.png" "$work/car-mask.png"
car_after=$(dark_count "$work/car-mask.png" "${band[@]}")
[ $((car_after - car_before)) -ge 400 ] ||
  fail "no crane car below the ship at ($ship_x, $ship_y) after B (dark pixels below it: $car_before, then $car_after)"

quit
mkdir -p "$(dirname "$output")"
convert "$work/car.png" -strip "$output"
echo "screenshot: wrote $output (ship at $ship_x, $ship_y; $car_after dark pixels below it, $car_before before B)"
