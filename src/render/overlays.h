#pragma once
// What is drawn over the frame's picture: the key panel (F1), the joints (F2)
// and the marks of stopped time and of the speed. They only show things;
// nothing here reaches the simulation.

#include "game/keys.h"

struct State;

struct Overlays {
  bool keys = false;    // F1
  bool joints = false;  // F2
};

// F1 and F2 switch their overlay; other views are not overlays.
void toggleOverlay(Overlays& overlays, View view);

// After the renderer's frame: what is switched on, "PAUSE" while time is
// stopped and the speed beside it when it is not 1 ("1/4", "x2"). Leaves the
// OpenGL state as it found it, the raster position that the frame's '0' goes
// on from included; with nothing to show it makes no call at all.
void drawOverlays(const State& state, const Overlays& overlays);
