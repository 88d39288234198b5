#include "session/recorder.h"

#include <string>
#include <utility>

#include "session/recording.h"

Recorder::Recorder(RecordingWriter& writer, RandomClock source)
    : writer_(writer), clock_(std::move(source)) {}

void Recorder::beginFrame() {
  if (frame_ == 0) writeStartUp();
  ++frame_;
}

// Every start-up reads the clock (the landscape seed first of all).
void Recorder::writeStartUp() { writer_.line(frameLine(0, {}, held_, held_, clock_.takeFrame())); }

void Recorder::endFrame(const FrameInput& input) {
  const std::string line = frameLine(frame_, input.events, held_, input.held, clock_.takeFrame());
  if (!line.empty()) writer_.line(line);
  // A frame alone marks how far the session got, once a second when nothing
  // else did: a recording cut short by a crash then plays to within a second of it.
  else if (writer_.quietForASecond())
    writer_.line(std::to_string(frame_));
  held_ = input.held;
}

void Recorder::finish() {
  if (frame_ == 0) writeStartUp();
  writer_.line(endLine(frame_));
}

void Recorder::abandon(const FrameInput& input) {
  if (frame_ == 0) return finish();
  const std::string line = frameLine(frame_, input.events, held_, input.held, clock_.frameSoFar());
  if (!line.empty()) writer_.line(line);
  finish();
}
