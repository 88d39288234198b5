#pragma once
// Pins the clock that the random functions reseed from, for one test.

#include <ctime>

#include "terrain/random.h"

class PinnedClock {
 public:
  explicit PinnedClock(std::time_t second) {
    now() = second;
    setRandomClock([] { return now(); });
  }
  ~PinnedClock() { setRandomClock(nullptr); }
  PinnedClock(const PinnedClock&) = delete;
  PinnedClock& operator=(const PinnedClock&) = delete;

  void set(std::time_t second) { now() = second; }
  static std::time_t& now() {
    static std::time_t second = 0;
    return second;
  }
};

// The first second at or after `from` whose first rand() % (b - a) + a equals want.
std::time_t secondWhereRandABGives(int a, int b, int want, std::time_t from = 1000);
