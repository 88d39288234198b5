#pragma once
// Pins the clock that the random functions reseed from, while it lives: a test,
// the benchmark and the screenshot tool draw the same scenes on every run.

#include <ctime>

#include "base/random.h"

class PinnedClock {
 public:
  explicit PinnedClock(std::time_t second) {
    set(second);
    setRandomClock([] { return reading().second; });
  }
  ~PinnedClock() { setRandomClock(nullptr); }
  PinnedClock(const PinnedClock&) = delete;
  PinnedClock& operator=(const PinnedClock&) = delete;

  void set(std::time_t second) { reading() = {second, second, 0}; }
  // One frame of a run paced at 60 frames per second: the second moves on
  // once every 60 ticks after the last set.
  void tick() {
    Reading& r = reading();
    r.second = r.start + ++r.frames / 60;
  }

 private:
  struct Reading {
    std::time_t start, second;
    long frames;
  };
  static Reading& reading() {
    static Reading r{};
    return r;
  }
};

// The first second at or after `from` whose first rand() % (b - a) + a equals want.
std::time_t secondWhereRandABGives(int a, int b, int want, std::time_t from = 1000);
