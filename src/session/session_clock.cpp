#include "session/session_clock.h"

#include <utility>

RecordingClock::RecordingClock(RandomClock source)
    : source_(source ? std::move(source) : RandomClock([] { return std::time(nullptr); })) {
  setRandomClock([this] { return read(); });
}

RecordingClock::~RecordingClock() { setRandomClock(nullptr); }

std::time_t RecordingClock::read() {
  const std::time_t second = source_();
  if (!known_ || second != last_) changes_.push_back({reads_, second});
  known_ = true;
  last_ = second;
  ++reads_;
  return second;
}

std::vector<ClockReading> RecordingClock::takeFrame() {
  reads_ = 0;
  return std::exchange(changes_, {});
}

ReplayClock::ReplayClock() {
  setRandomClock([this] { return read(); });
}

ReplayClock::~ReplayClock() { setRandomClock(nullptr); }

void ReplayClock::beginFrame(const std::vector<ClockReading>& changes) {
  if (next_ < changes_.size()) {
    departed_ = true;
    second_ = changes_.back().second;
  }
  changes_ = changes;
  next_ = 0;
  reads_ = 0;
}

void ReplayClock::frameTakenElsewhere() {
  if (next_ < changes_.size()) second_ = changes_.back().second;
  next_ = changes_.size();
}

void ReplayClock::resumeAt(std::time_t second) {
  departed_ = departed();
  changes_.clear();
  next_ = 0;
  reads_ = 0;
  second_ = second;
}

std::time_t ReplayClock::read() {
  if (next_ < changes_.size() && changes_[next_].read == reads_) second_ = changes_[next_++].second;
  ++reads_;
  return second_;
}
