#include "session/replay.h"

#include <algorithm>
#include <ctime>

#include "recording/digest.h"

Replay::Replay(const Recording& recording)
    : recording_(recording), checks_(recording.physics == physicsIdentity()) {
  const auto clock = recording.clockOf(0);
  clock_.beginFrame({clock.begin(), clock.end()});
}

bool Replay::next(FrameInput& input) {
  if (frame_ >= recording_.end) return false;
  ++frame_;
  input.events.clear();
  changes_.clear();
  const auto& frames = recording_.frames;
  if (nextLine_ < frames.size() && frames[nextLine_].frame == frame_) {
    const size_t i = nextLine_++;
    for (const InputEvent& e : recording_.eventsOf(i)) input.events.push_back(e);
    for (const KeyChange& k : recording_.keysOf(i)) held_[k.symbol] = k.down;
    for (const ClockReading& c : recording_.clockOf(i)) changes_.push_back(c);
  }
  clock_.beginFrame(changes_);
  input.held = held_;
  return true;
}

void Replay::rewindTo(long frame) {
  const auto& frames = recording_.frames;
  frame_ = frame;
  held_.fill(0);
  std::time_t second = 0;
  for (const ClockReading& c : recording_.clockOf(0)) second = c.second;
  for (nextLine_ = 1; nextLine_ < frames.size() && frames[nextLine_].frame <= frame; ++nextLine_) {
    for (const KeyChange& k : recording_.keysOf(nextLine_)) held_[k.symbol] = k.down;
    for (const ClockReading& c : recording_.clockOf(nextLine_)) second = c.second;
  }
  clock_.resumeAt(second);
  const auto& checks = recording_.checkpoints;
  nextCheck_ = static_cast<size_t>(
      std::upper_bound(checks.begin(), checks.end(), frame,
                       [](long f, const Checkpoint& c) { return f < static_cast<long>(c.frame); }) -
      checks.begin());
}

bool Replay::check(const b2World& world) {
  const auto& checks = recording_.checkpoints;
  while (nextCheck_ < checks.size() && checks[nextCheck_].frame < frame_) ++nextCheck_;
  if (!checks_ || nextCheck_ >= checks.size() || checks[nextCheck_].frame != frame_) return false;
  const bool same = checks[nextCheck_++].digest == static_cast<std::uint32_t>(worldDigest(world));
  if (same || departedAt_ >= 0) return false;
  departedAt_ = frame_;
  return true;
}
