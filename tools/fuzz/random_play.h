#pragma once
// Seeded random play for the fuzzer: each frame's input, and the clock that the
// game reads. It draws from its own generator, never from the game's.

#include <cstdint>
#include <ctime>
#include <random>

#include "recording/frame_input.h"
#include "session/timeline.h"

struct State;

// A calendar clock that a fuzz run steers: the second turns about once per 60
// frames at a random reading inside the frame, and now and then it jumps.
class FuzzClock {
 public:
  explicit FuzzClock(std::time_t start) : second_(start) {}
  std::time_t read();
  // This frame's plan: the reading at which the second moves on by `step`
  // (none when step is 0).
  void beginFrame(long turnAt, long step);

 private:
  std::time_t second_;
  long reads_ = 0, turnAt_ = -1, step_ = 0;
};

class RandomPlay {
 public:
  explicit RandomPlay(std::uint64_t seed);

  // The next frame's input. It looks at the state only to steer a ship that
  // has left the window back into it, so that the play stays where things are.
  FrameInput next(const State& state);
  FuzzClock& clock() { return clock_; }
  // S, now and then: the session so far is saved (S changes nothing in the game).
  bool pressesSave() { return chance(0.0005); }
  // Now and then (movesInTime) a move through the session's time, as the bar,
  // Ctrl+Z, Ctrl+Y and a click on a branch make one, on this line and where
  // undo and redo go; true when it added one.
  bool movesInTime() { return chance(0.0005); }
  bool moveInTime(FrameInput& input, const TimelineSummary& line, long undo, long redo);

 private:
  bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }
  long between(long low, long high) {
    return std::uniform_int_distribution<long>(low, high)(random_);
  }
  void press(FrameInput& input);
  void hold(const State& state);
  void mouse(FrameInput& input, const State& state);
  void stoppedTime(FrameInput& input, const State& state);
  void timeTravel(FrameInput& input, const State& state);

  std::mt19937_64 random_;
  FuzzClock clock_;
  HeldKeys held_{};
  long scrollLeft_ = 0;  // frames of a long scroll still to come
  long backLeft_ = 0;    // frames of Backspace still held
  int pointerX_ = 640, pointerY_ = 470;
  bool buttonDown_ = false;
};
