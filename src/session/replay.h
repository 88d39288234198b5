#pragma once
// Plays a recording back, frame by frame, as the input of each frame; the
// clock gives the recorded seconds from the moment the replay is made, so the
// start-up must follow it.

#include <vector>

#include "recording/frame_input.h"
#include "recording/recording.h"
#include "session/session_clock.h"

class Replay {
 public:
  explicit Replay(const Recording& recording);

  // The next frame's input (held keys carry over); false once the recording's
  // last frame has been played.
  bool next(FrameInput& input);

  // Back to just after `frame` (no later than the frames played): the next
  // frame is frame + 1, with the keys held and the clock's second as they were.
  void rewindTo(long frame);

  long frames() const { return frame_; }
  // After a frame: the replay read the clock less often than the recording at
  // some frame, so the world it steps may not be the recorded one.
  bool departed() const { return clock_.departed(); }

 private:
  const Recording& recording_;
  ReplayClock clock_;
  std::vector<ClockReading> changes_;  // of the frame being played
  size_t nextLine_ = 1;
  long frame_ = 0;
  HeldKeys held_{};
};
