#include "app/pacer.h"

#include <thread>

FramePacer::Clock::time_point FramePacer::next(Clock::time_point now) {
  if (now >= deadline_) deadline_ = now;
  const Clock::time_point start = deadline_;
  deadline_ += kPeriod;
  return start;
}

void FramePacer::wait() { std::this_thread::sleep_until(next(Clock::now())); }
