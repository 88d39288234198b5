#pragma once
// What is drawn over the frame's picture: the key panel (F1), the joints (F2)
// and the mark of stopped time. They only show things; nothing here reaches
// the simulation.

#include "game/keys.h"

struct State;

struct Overlays {
  bool keys = false;    // F1
  bool joints = false;  // F2
  bool replay = false;         // a replay plays, not the keyboard: "REPLAY"
  bool replayStopped = false;  // ... and P has stopped it: "PAUSE" too
};

// F1 and F2 switch their overlay; other views are not overlays.
void toggleOverlay(Overlays& overlays, View view);

// After the renderer's frame: what is switched on, "PAUSE" while time or the
// replay is stopped and "REPLAY" during a replay. Leaves the OpenGL state as it
// found it, the raster position that the frame's '0' goes on from included;
// with nothing to show it makes no call at all.
void drawOverlays(const State& state, const Overlays& overlays);
