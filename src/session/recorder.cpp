#include "session/recorder.h"

#include <utility>

#include "session/recording.h"

Recorder::Recorder(RecordingWriter& writer, RandomClock source)
    : writer_(writer), clock_(std::move(source)) {}

void Recorder::beginFrame() {
  // Every start-up reads the clock (the landscape seed first of all).
  if (frame_ == 0) writer_.line(frameLine(0, {}, held_, held_, clock_.takeFrame()));
  ++frame_;
}

void Recorder::endFrame(const FrameInput& input) {
  const std::string line = frameLine(frame_, input.events, held_, input.held, clock_.takeFrame());
  if (!line.empty()) writer_.line(line);
  held_ = input.held;
  writer_.tick();
}

void Recorder::finish() {
  writer_.line(endLine(frame_));
  writer_.flush();
}

void Recorder::abandon(const FrameInput& input) {
  const std::string line = frameLine(frame_, input.events, held_, input.held, clock_.frameSoFar());
  if (!line.empty()) writer_.line(line);
  finish();
}
