#pragma once
// Turns a session into a recording as it plays: the start-up's clock readings,
// then after each frame a line with what changed in it.

#include "base/random.h"
#include "session/frame_input.h"
#include "session/recording_writer.h"
#include "session/session_clock.h"

class Recorder {
 public:
  // Takes the clock's place at once, so that the start-up's readings are kept;
  // source is the clock passed on (empty: the calendar clock).
  explicit Recorder(RecordingWriter& writer, RandomClock source = {});

  // Before each frame is played; the first call closes the start-up.
  void beginFrame();
  // After the frame has been played with this input.
  void endFrame(const FrameInput& input);
  // After the last frame: the end line.
  void finish();
  // For a process dying in the middle of a frame: writes what the frame has read
  // so far and ends the recording at it.
  void abandon(const FrameInput& input);

  long frames() const { return frame_; }

 private:
  void writeStartUp();

  RecordingWriter& writer_;
  RecordingClock clock_;
  long frame_ = 0;
  HeldKeys held_{};
};
