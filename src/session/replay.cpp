#include "session/replay.h"

Replay::Replay(const Recording& recording) : recording_(recording) {
  clock_.beginFrame(recording.frames.front().clock);
}

bool Replay::next(FrameInput& input) {
  if (frame_ >= recording_.end) return false;
  ++frame_;
  input.events.clear();
  const auto& frames = recording_.frames;
  if (nextLine_ < frames.size() && frames[nextLine_].frame == frame_) {
    const RecordedFrame& f = frames[nextLine_++];
    input.events = f.events;
    for (const KeyChange& k : f.keys) held_[k.symbol] = k.down;
    clock_.beginFrame(f.clock);
  } else {
    clock_.beginFrame({});
  }
  input.held = held_;
  return true;
}

void Replay::rewindTo(long frame) {
  const auto& frames = recording_.frames;
  frame_ = frame;
  held_.fill(0);
  std::time_t second = frames.front().clock.back().second;
  for (nextLine_ = 1; nextLine_ < frames.size() && frames[nextLine_].frame <= frame; ++nextLine_) {
    for (const KeyChange& k : frames[nextLine_].keys) held_[k.symbol] = k.down;
    if (!frames[nextLine_].clock.empty()) second = frames[nextLine_].clock.back().second;
  }
  clock_.resumeAt(second);
}
