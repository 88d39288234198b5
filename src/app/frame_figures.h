#pragma once
// Measures the frames for F3's panel while it shows: the frame's work and its
// steps by the figures' clock (game/figures.h); the drawing is the rest of the
// work, the controls and the walk over the bodies included. While the panel
// is hidden it reads no clock at all.

#include "game/figures.h"

struct Overlays;
struct State;

class FrameFigures {
 public:
  // Before the frame's events reach the game.
  void start(const Overlays& overlays, State& state);
  // After the frame's drawing, overlays included: the frame's sample, and the
  // panel's figures.
  void end(Overlays& overlays, State& state);

 private:
  FigureMeter meter_;
  bool measuring_ = false;
};
