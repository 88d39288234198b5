#pragma once
// How long a frame's work takes, for F3's figures. It sits with the state
// because the steps and the restores it must know of happen deep inside the
// frame. Only while a clock is set here (the panel shows) does anything read
// one; nothing here reaches the simulation, and a snapshot does not keep it.

#include <functional>

// Milliseconds from any fixed origin.
using MillisecondClock = std::function<double()>;

struct FrameTimes {
  MillisecondClock clock;  // empty: nothing is measured
  double since = 0;        // the clock when the frame began, or at its last restore
  double stepMs = 0;       // the steps' time since then
  int steps = 0;           // ... and how many
  bool restored = false;   // a moment was restored, or a world made, during the frame

  double now() const { return clock ? clock() : 0; }
  // The frame begins, measured by `by` (empty: not at all).
  void begin(const MillisecondClock& by) {
    clock = by;
    restart();
    restored = false;
  }
  // A step that began at `started` (now()) is over.
  void stepped(double started) {
    if (!clock) return;
    stepMs += clock() - started;
    ++steps;
  }
  // Another world is in place: nothing measured of the one before counts.
  void restart() {
    restored = true;
    since = now();
    stepMs = 0;
    steps = 0;
  }
};
