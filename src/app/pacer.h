#pragma once
// Holds the frame loop to at most 60 frames per second where no vsync does it,
// so that a frame's fixed 0.05 s of world time keeps to its intended pace and an
// idle window does not burn a core.

#include <chrono>

class FramePacer {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::duration kPeriod =
      std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / 60));

  explicit FramePacer(Clock::time_point start = Clock::now()) : deadline_(start + kPeriod) {}

  // When the next frame may start, given the time now, and moves the deadline on
  // one period. A late frame starts at once, and the deadlines start again from
  // it rather than bursting to catch up.
  Clock::time_point next(Clock::time_point now);

  // Sleeps until the next frame may start; called after the swap.
  void wait();

 private:
  Clock::time_point deadline_;
};
