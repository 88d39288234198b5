#pragma once
// Plays a recording back, frame by frame, as the input of each frame; the
// clock gives the recorded seconds from the moment the replay is made, so the
// start-up must follow it.

#include <cstdint>
#include <limits>
#include <vector>

#include "recording/frame_input.h"
#include "recording/recording.h"
#include "session/session_clock.h"

class b2World;

class Replay {
 public:
  explicit Replay(const Recording& recording);

  // The next frame's input (held keys carry over); false once the recording's
  // last frame has been played.
  bool next(FrameInput& input);

  // Back to just after `frame` (no later than the frames played): the next
  // frame is frame + 1, with the keys held and the clock's second as they were.
  void rewindTo(long frame);

  // The frame just given was played from the history's kept future, as it had
  // played before: its clock readings are not this replay's to check.
  void frameTakenElsewhere() { clock_.frameTakenElsewhere(); }
  // After a frame: compares the world with the recording's checkpoint at that
  // frame, when it has one that this build wrote. True at the first mismatch.
  bool check(const b2World& world);
  // The frame of the first checkpoint that the world did not match, or -1.
  long departedAt() const { return departedAt_; }

  // The lowest moment that the recording itself can still take the history
  // to, after the frame just played, with the history at `now`: nothing will
  // restore a moment below it. The least long when the recording seeks (a
  // seek may go anywhere); the greatest when it goes back no more.
  long lowestReachable(long now) const;
  static constexpr long kAnywhere = std::numeric_limits<long>::min();
  static constexpr long kNowhere = std::numeric_limits<long>::max();

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
  bool checks_ = false;  // the checkpoints come from a build that steps as this one
  size_t nextCheck_ = 0;
  long departedAt_ = -1;
  // How far the history is sure to have gone on, as the recording's frames
  // play through it, from the start to the frame just played (see replay.cpp).
  long goneOn_ = 0;
  // Each stretch of frames that holds Backspace: its last frame, and the least
  // that sum reaches there or at any such stretch after it.
  struct Back {
    long last, least;
  };
  std::vector<Back> backs_;
  bool seeks_ = false;
};
