# Checks shared by the install and package tests; sourced, not run.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# What a user gets under a prefix: the program, a desktop entry that the menu
# accepts and that names the program and the icon, and the icon itself.
check_installed_tree() {  # PREFIX_DIR
  local dir=$1
  local program=$dir/bin/skyhook
  local entry=$dir/share/applications/skyhook.desktop
  local icon=$dir/share/icons/hicolor/scalable/apps/skyhook.svg

  [ -f "$program" ] && [ -x "$program" ] || fail "no executable $program"
  file -b "$program" | grep -q '^ELF' || fail "$program is not a program: $(file -b "$program")"

  [ -f "$entry" ] || fail "no desktop entry $entry"
  desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
  local line
  for line in 'Type=Application' 'Name=Skyhook' 'Exec=skyhook' 'Icon=skyhook' 'Terminal=true'; do
    grep -qx "$line" "$entry" || fail "$entry lacks the line $line"
  done
  grep -q '^Comment=.' "$entry" || fail "$entry has no Comment"
  grep -Eq '^Categories=(.*;)?Game;' "$entry" || fail "$entry is not in the Game category"

  [ -f "$icon" ] || fail "no icon $icon"
  if command -v xmllint >/dev/null; then
    xmllint --noout "$icon" || fail "$icon is not well-formed XML"
    [ "$(xmllint --xpath 'local-name(/*)' "$icon")" = svg ] || fail "$icon is not an SVG picture"
  else
    grep -q '<svg' "$icon" || fail "$icon is not an SVG picture"
  fi
}

# Starts PROGRAM on the current display, waits for its seed line and its
# window, presses Escape and expects status 0. Its output goes to SCRATCH_DIR.
check_starts_and_quits() {  # PROGRAM SCRATCH_DIR
  local program=$1 out=$2/start.out err=$2/start.err pid i window= status=0
  SDL_AUDIODRIVER=dummy "$program" >"$out" 2>"$err" &
  pid=$!
  for i in $(seq 300); do  # 30 s
    grep -q '^SEED = ' "$out" && window=$(sandbox_window) && [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$window" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    fail "$program did not open its window: $(cat "$out" "$err")"
  fi
  # With no window manager, keyboard focus follows the pointer.
  xdotool mousemove --window "$window" 640 470 key Escape
  for i in $(seq 200); do  # 20 s
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    fail "$program did not end on Escape"
  fi
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "$program ended with status $status: $(cat "$err")"
}

# The id of the visible 1280 x 940 top-level window, if there is one.
sandbox_window() {
  local id
  for id in $(xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null); do
    if xdotool getwindowgeometry --shell "$id" 2>/dev/null | grep -qx 'WIDTH=1280' &&
       xdotool getwindowgeometry --shell "$id" 2>/dev/null | grep -qx 'HEIGHT=940'; then
      echo "$id"
      return 0
    fi
  done
}
