#pragma once
// What a run of the program records or replays, and the frame loop's side of
// it: the live loop and the windowed replay ask it for each frame's input, the
// headless replay runs the whole recording here without a window.

#include <memory>
#include <optional>
#include <string>

#include "session/frame_input.h"
#include "session/recorder.h"
#include "session/recording.h"
#include "session/recording_writer.h"
#include "session/replay.h"

struct State;

struct SessionOptions {
  std::optional<std::string> record;  // --record FILE: write the session's input to FILE
  std::optional<std::string> replay;  // --replay FILE: play FILE instead of the keyboard
  bool headless = false;              // --headless: replay without a window, unpaced
  bool digest = false;                // --digest: print the world's digest at exit
};

class Session {
 public:
  // Opens what the options ask for, before anything plays: the file to record
  // to, or the recording to replay, read and checked in full. Either takes the
  // random clock's place at once. On failure prints one line on standard error
  // and returns nullptr (the program then exits with status 2).
  static std::unique_ptr<Session> open(const SessionOptions& options);

  bool headless() const { return options_.headless; }

  // Before each frame, with the frame's live input: keeps it, or in a replay
  // puts the recording's next frame in its place. False when a replay has ended,
  // or when the live input quits it (Escape or the window's close).
  bool nextFrame(FrameInput& input);
  // After the frame has been played with that input.
  void framePlayed(const FrameInput& input);
  // After the last frame: closes the recording, prints the digest when asked.
  // The exit status: 1 when the recording could not be written in full or the
  // replay departed from the recording, else 0.
  int finish(const State& state);

  // The whole replay without a window or pacing; the exit status, 1 also when
  // console lines could not be written.
  int playHeadless();

 private:
  explicit Session(const SessionOptions& options) : options_(options) {}

  SessionOptions options_;
  std::optional<Recording> recording_;
  std::optional<Replay> replay_;
  RecordingWriter writer_;
  std::optional<Recorder> recorder_;
};
