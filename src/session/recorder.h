#pragma once
// Turns a session into a recording as it plays: the start-up's clock readings,
// then after each frame a line with what changed in it. The recording is kept
// in memory, whatever else happens to it, so that the session so far can be
// saved at any moment; with a writer it also goes to a file as it grows.

#include <string>

#include "base/random.h"
#include "recording/frame_input.h"
#include "recording/recording.h"
#include "recording/recording_writer.h"
#include "session/session_clock.h"

class b2World;

class Recorder {
 public:
  // Takes the clock's place at once, so that the start-up's readings are kept;
  // source is the clock passed on (empty: the calendar clock).
  explicit Recorder(RandomClock source = {});
  explicit Recorder(RecordingWriter& writer, RandomClock source = {});
  // Goes on from a recording played up to `frame`: its start-up and frames are
  // this session's own, and the keys it held are the ones held before the next
  // frame. writer may be null.
  Recorder(const Recording& played, long frame, RecordingWriter* writer, RandomClock source = {});

  // Before each frame is played; the first call closes the start-up.
  void beginFrame();
  // After the frame has been played with this input; every second of play the
  // world's checkpoint follows the frame's line.
  void endFrame(const FrameInput& input, const b2World& world);
  // After the last frame: the end line.
  void finish();
  // For a process dying in the middle of a frame: writes what the frame has read
  // so far and ends the recording at it.
  void abandon(const FrameInput& input);

  long frames() const { return frame_; }
  // The whole recording of the frames played so far, as a file holds it, with
  // its end line: it replays to the world as it is now.
  std::string textSoFar() const;

 private:
  void writeStartUp();
  void line(const std::string& text);

  RecordingWriter* writer_ = nullptr;
  RecordingClock clock_;
  long frame_ = 0;
  bool startedUp_ = false;  // the start-up's line is written
  HeldKeys held_{};
  std::string kept_;  // every line after the header, each with its line end
};
