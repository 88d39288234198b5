#pragma once
// The two clocks of a session, each in the random functions' place while it
// lives. The recording clock passes on the seconds of another clock and notes
// every change, by its place among the frame's readings, so that a second that
// turns in the middle of a frame turns at the same reading on replay. The
// replay clock gives those seconds back.

#include <ctime>
#include <vector>

#include "base/random.h"
#include "recording/recording.h"

class RecordingClock {
 public:
  // source: the clock whose seconds are passed on; empty for the calendar clock.
  explicit RecordingClock(RandomClock source = {});
  ~RecordingClock();  // the calendar clock again
  RecordingClock(const RecordingClock&) = delete;
  RecordingClock& operator=(const RecordingClock&) = delete;

  // The changes since the last call; the readings count from 0 again.
  std::vector<ClockReading> takeFrame();
  // The changes so far, leaving them in place.
  const std::vector<ClockReading>& frameSoFar() const { return changes_; }

 private:
  std::time_t read();

  RandomClock source_;
  bool known_ = false;
  std::time_t last_ = 0;
  long reads_ = 0;
  std::vector<ClockReading> changes_;
};

class ReplayClock {
 public:
  ReplayClock();
  ~ReplayClock();
  ReplayClock(const ReplayClock&) = delete;
  ReplayClock& operator=(const ReplayClock&) = delete;

  // The next frame's changes.
  void beginFrame(const std::vector<ClockReading>& changes);
  // Gives `second` until the next frame's changes, as it did at an earlier
  // frame; a change the frame left unread still counts as a departure.
  void resumeAt(std::time_t second);
  // The frame's changes stand as read: its frame was played again from the
  // history's own, which holds them, not by reading this clock.
  void frameTakenElsewhere();
  // A change that no reading reached, once its frame is over: the replay read
  // the clock less often than the recording.
  bool departed() const { return departed_ || next_ < changes_.size(); }

 private:
  std::time_t read();

  std::vector<ClockReading> changes_;
  size_t next_ = 0;
  long reads_ = 0;
  std::time_t second_ = 0;
  bool departed_ = false;
};
