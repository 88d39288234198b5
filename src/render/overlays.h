#pragma once
// What is drawn over the frame's picture: the key panel (F1), the joints (F2),
// the mark of stopped time, and the edges of the game's window once the camera
// has moved. They only show things; nothing here reaches the simulation.

#include "render/camera.h"

#include "game/keys.h"

struct State;

struct Overlays {
  bool keys = false;    // F1
  bool joints = false;  // F2
};

// F1 and F2 switch their overlay; other views are not overlays.
void toggleOverlay(Overlays& overlays, View view);

// After the renderer's frame, under the camera's projection: what is switched
// on, "PAUSE" while time is stopped, and while the camera is not the identity a
// faint frame where the game's window is, the area whose bodies it keeps. The
// joints and the frame follow the camera; the panel and the mark keep their
// place and pixel size. Leaves the OpenGL state as it found it, the raster
// position that the frame's '0' goes on from included; with nothing to show it
// makes no call at all.
void drawOverlays(const State& state, const Overlays& overlays, const Camera& camera = Camera());
