#pragma once
// Measures the frames for F3's panel while it shows: the frame's work by the
// steady clock, the step by Box2D's profile; the drawing is the rest of the
// work (the controls' share of it is a few microseconds). While the panel is
// hidden it reads no clock at all.

#include <chrono>

#include "game/figures.h"

struct Overlays;
struct State;

class FrameFigures {
 public:
  // Before the frame's events reach the game.
  void start(const Overlays& overlays);
  // After the frame's drawing, overlays included: the frame's sample, and the
  // panel's figures when they are due.
  void end(Overlays& overlays, const State& state);

 private:
  FigureMeter meter_;
  std::chrono::steady_clock::time_point started_;
  bool measuring_ = false;
};
