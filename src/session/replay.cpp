#include "session/replay.h"

#include <algorithm>
#include <ctime>

#include "recording/digest.h"

namespace {

// A press that changes the history's course or plays on: its frame always
// takes the history one moment on (History::play). Any other frame may leave
// it where it is: time stopped, or held by P along the kept future.
bool goesOn(const InputEvent& e) {
  if (e.kind == InputEvent::ButtonDown) return true;
  return e.kind == InputEvent::KeyPress && !endsSession(e) && e.symbol != key::P &&
         e.symbol != key::LSHIFT && e.symbol != key::RSHIFT;
}

// How far a frame surely takes the history on: back one frame with Backspace
// held (eight with Shift), at most; on one with a press that goes on; else nowhere.
long leastStep(const HeldKeys& held, bool goingOn) {
  if (held[key::BACKSPACE]) return held[key::LSHIFT] || held[key::RSHIFT] ? -8 : -1;
  return goingOn ? 1 : 0;
}

}  // namespace

Replay::Replay(const Recording& recording)
    : recording_(recording), checks_(recording.physics == physicsIdentity()) {
  const auto clock = recording.clockOf(0);
  clock_.beginFrame({clock.begin(), clock.end()});
  // Frame 0's line is the start-up: nothing of it is held or pressed.
  const auto& frames = recording.frames;
  HeldKeys held{};
  long sum = 0;
  for (size_t i = 1; i < frames.size(); ++i) {
    for (const KeyChange& k : recording.keysOf(i)) held[k.symbol] = k.down;
    bool on = false;
    for (const InputEvent& e : recording.eventsOf(i)) {
      seeks_ |= e.kind == InputEvent::Seek;
      on |= goesOn(e);
    }
    const long first = frames[i].frame;
    const long last = i + 1 < frames.size() ? long{frames[i + 1].frame} - 1 : recording.end;
    if (last < first) continue;
    if (!held[key::BACKSPACE]) {
      sum += leastStep(held, on);
      continue;
    }
    sum += (last - first + 1) * leastStep(held, on);
    backs_.push_back({last, sum});
  }
  for (size_t i = backs_.size(); i-- > 1;)
    backs_[i - 1].least = std::min(backs_[i - 1].least, backs_[i].least);
}

long Replay::lowestReachable(long now) const {
  if (seeks_) return kAnywhere;
  const auto ahead = std::upper_bound(backs_.begin(), backs_.end(), frame_,
                                      [](long f, const Back& b) { return f < b.last; });
  if (ahead == backs_.end()) return kNowhere;
  return now + (ahead->least - goneOn_);
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
  goneOn_ += leastStep(held_, std::any_of(input.events.begin(), input.events.end(), goesOn));
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
  goneOn_ = 0;
  for (nextLine_ = 1; nextLine_ < frames.size() && frames[nextLine_].frame <= frame; ++nextLine_) {
    for (const KeyChange& k : recording_.keysOf(nextLine_)) held_[k.symbol] = k.down;
    for (const ClockReading& c : recording_.clockOf(nextLine_)) second = c.second;
    const auto events = recording_.eventsOf(nextLine_);
    const long to = nextLine_ + 1 < frames.size() ? long{frames[nextLine_ + 1].frame} - 1 : frame;
    goneOn_ += leastStep(held_, std::any_of(events.begin(), events.end(), goesOn));
    if (held_[key::BACKSPACE])
      goneOn_ += (std::min(to, frame) - frames[nextLine_].frame) * leastStep(held_, false);
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
