#pragma once
// What is drawn over the frame's picture: the key panel (F1), the joints (F2),
// the figures (F3), the physics view (F4), the console strip (L), the path a
// dragged body would fly if let go, the marks of stopped time and of the
// speed, and the edges of the game's window once the camera has moved. They
// only show things; nothing here reaches the simulation.

#include <deque>
#include <string>

#include "game/figures.h"
#include "render/camera.h"

struct State;

struct Overlays {
  bool keys = false;           // F1
  bool joints = false;         // F2
  bool figures = false;        // F3
  bool physics = false;        // F4
  bool console = false;        // L
  bool replay = false;         // a replay plays, not the keyboard: "REPLAY"
  bool replayStopped = false;  // ... and P has stopped it: "PAUSE" too
  int replayShift = 0;         // ... at its own speed, 2 to this power: "REPLAY x2"
  // What the panels show, kept current by the app: the figures while F3 shows
  // them, the console's last lines (oldest first) all along.
  Figures measured;
  const std::deque<std::string>* consoleLines = nullptr;
};

// After the renderer's frame, under the camera's projection: what is switched
// on, the dragged body's path while the left button holds one, "PAUSE" while
// time or the replay is stopped and the speed beside it when it is not 1
// ("1/4", "x2"), "REPLAY" during a replay, with the replay's own speed when it
// is not 1 ("REPLAY x2"), and while the camera is not the
// identity a faint frame where the game's window is, the area whose bodies it
// keeps. What sits in the world (physics view, joints, path, frame) follows
// the camera; the panels and the marks keep their place and pixel size.
// Leaves the OpenGL state as it found it,
// the raster position that the frame's '0' goes on from included; with nothing
// to show it makes no call at all.
void drawOverlays(const State& state, const Overlays& overlays, const Camera& camera = Camera());
