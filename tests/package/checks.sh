# Checks shared by the install and package tests; sourced, not run.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# What a user gets under a prefix: the program, a desktop entry that the menu
# accepts and that names the program and the icon, and the icon itself, as SVG
# and as PNGs for menus that cannot read SVG.
check_installed_tree() {  # PREFIX_DIR
  local dir=$1
  local program=$dir/games/skyhook
  local entry=$dir/share/applications/skyhook.desktop
  local icon=$dir/share/icons/hicolor/scalable/apps/skyhook.svg

  [ -f "$program" ] && [ -x "$program" ] || fail "no executable $program"
  file -b "$program" | grep -q '^ELF' || fail "$program is not a program: $(file -b "$program")"

  [ -f "$entry" ] || fail "no desktop entry $entry"
  desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
  local line
  for line in 'Type=Application' 'Name=Skyhook' 'Exec=skyhook --console-in-window' 'Icon=skyhook' \
    'Terminal=false'; do
    grep -qx "$line" "$entry" || fail "$entry lacks the line $line"
  done
  grep -q '^Comment=.' "$entry" || fail "$entry has no Comment"
  # The action that resumes the newest saved session.
  grep -qx 'Actions=resume-last;' "$entry" && grep -qx '\[Desktop Action resume-last\]' "$entry" &&
    grep -qx 'Exec=skyhook --console-in-window --resume=last' "$entry" ||
    fail "$entry has no action that resumes the last session"
  grep -Eq '^Categories=(.*;)?Game;' "$entry" || fail "$entry is not in the Game category"

  [ -f "$icon" ] || fail "no icon $icon"
  if command -v xmllint >/dev/null; then
    xmllint --noout "$icon" || fail "$icon is not well-formed XML"
    [ "$(xmllint --xpath 'local-name(/*)' "$icon")" = svg ] || fail "$icon is not an SVG picture"
  else
    grep -q '<svg' "$icon" || fail "$icon is not an SVG picture"
  fi
  local size png
  for size in 48 64 128 256; do
    png=$dir/share/icons/hicolor/${size}x${size}/apps/skyhook.png
    file -b "$png" 2>/dev/null | grep -q "^PNG image data, $size x $size, 8-bit/color RGBA" ||
      fail "$png is not a $size x $size PNG with transparency: $(file -b "$png" 2>&1)"
  done

  check_manual_page "$dir/share/man/man6/skyhook.6.gz"
  check_metainfo "$dir/share/metainfo" "$entry"
  check_copyright "$dir/share/doc/skyhook/copyright"
}

# The manual page renders without a complaint from groff or man.
check_manual_page() {  # PAGE
  local page=$1 complaints
  [ -f "$page" ] || fail "no manual page $page"
  gzip -t "$page" || fail "$page is not gzip data"
  complaints=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) ||
    fail "man cannot show $page: $complaints"
  [ -z "$complaints" ] || fail "$page: $complaints"
}

# One AppStream file, valid offline, that launches the installed desktop entry.
check_metainfo() {  # METAINFO_DIR DESKTOP_ENTRY
  local files=("$1"/*.metainfo.xml)
  [ ${#files[@]} -eq 1 ] && [ -f "${files[0]}" ] || fail "expected one metainfo file in $1: ${files[*]}"
  appstreamcli validate --no-net "${files[0]}" || fail "appstreamcli rejects ${files[0]}"
  grep -q "<launchable type=\"desktop-id\">$(basename "$2")</launchable>" "${files[0]}" ||
    fail "${files[0]} does not launch $(basename "$2")"
}

# The copyright file carries the project's LICENSE, line for line.
check_copyright() {  # COPYRIGHT
  local copyright=$1 license
  license=$(dirname "${BASH_SOURCE[0]}")/../../LICENSE
  [ -f "$copyright" ] || fail "no copyright file $copyright"
  grep -qx 'License: Expat' "$copyright" || fail "$copyright names no Expat (MIT) licence"
  diff <(sed -n '/^License:/,$p' "$copyright" | tail -n +2 | sed 's/^ //; s/^\.$//') \
       <(sed -n '/^Copyright/,$p' "$license" | tail -n +3) >&2 ||
    fail "$copyright does not carry the text of LICENSE"
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
