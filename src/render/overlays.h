#pragma once
// What is drawn over the frame's picture: the key panel (F1), the joints (F2),
// the figures (F3), the physics view (F4), the console strip (L), the path a
// dragged body would fly if let go, the marks of stopped time and of the
// speed, and the edges of the game's window once the camera has moved. They
// only show things; nothing here reaches the simulation.

#include <deque>
#include <optional>
#include <string>

#include "game/figures.h"
#include "render/camera.h"
#include "render/messages.h"
#include "render/session_list.h"
#include "render/text_panel.h"
#include "render/timeline_bar.h"

struct State;

// What drawOverlays laid out, for the app: how many pages F1 has (0 while it
// is off) and where its panel is, in overlay pixels of `zoom` window pixels.
struct OverlaysShown {
  int keyPages = 0;
  PanelBox keys{0, 0, 0, 0};
  int zoom = 1;
  TimelineShown timeline;  // where the bar was, while it shows
  bool toolbar = false;    // the toolbar showed
  int tool = 0;            // the tool chosen, as a Tool's number
};

struct Overlays {
  bool keys = false;           // F1
  bool joints = false;         // F2
  bool figures = false;        // F3
  bool physics = false;        // F4
  bool console = false;        // L
  bool replay = false;         // a replay plays, not the keyboard: "REPLAY"
  bool replayStopped = false;  // ... and P has stopped it: "PAUSE" too
  int replayShift = 0;         // ... at its own speed, 2 to this power: "REPLAY x2"
  bool following = false;      // F follows the ship: "FOLLOW"
  bool timeline = false;       // the bar of the session's time shows
  TimelineBar bar;             // ... and what it shows
  bool overToolbar = false;    // the pointer is where the toolbar goes: it shows
  int keyPage = 0;             // F1's page (Page Up, Page Down, the wheel over it)
  // Window pixels per overlay pixel, each pixel of the font a block this
  // size; 0 chooses it from the picture's scale alone. The app sets it each
  // frame: the one chosen (--ui-scale, Ctrl with + and -), else by the
  // window's size.
  int uiScale = 0;
  int chosenUiScale = 0;
  OverlaysShown shown;  // what the last frame drew, for the keys that turn F1's pages
  // What the panels show, kept current by the app: the figures while F3 shows
  // them, the console's last lines (oldest first) all along.
  Figures measured;
  const std::deque<std::string>* consoleLines = nullptr;
  // The window's message as it shows now, set by the app each frame; none by default.
  std::optional<ShownMessage> message;
  SessionList sessionList;  // F6
};

// After the renderer's frame, under the camera's projection: what is switched
// on, the dragged body's path while the left button holds one, "PAUSE" while
// time or the replay is stopped and the speed beside it when it is not 1
// ("1/4", "x2"), "REPLAY" during a replay, with the replay's own speed when it
// is not 1 ("REPLAY x2"), "FOLLOW" while F follows, and while the camera is
// not the identity its zoom ("x2.0") and a faint frame where the game's window
// is, the area whose bodies it keeps. Each has its own place
// (overlay_layout.h). What sits in the world (physics view, joints, path, frame) follows
// the camera; the panels and the marks keep their place and pixel size.
// Leaves the OpenGL state as it found it,
// the raster position that the frame's '0' goes on from included; with nothing
// to show it makes no call at all.
OverlaysShown drawOverlays(const State& state, const Overlays& overlays,
                           const Camera& camera = Camera());
