#include "session/recorder.h"

#include <string>
#include <utility>

#include "recording/digest.h"
#include "recording/recording.h"

Recorder::Recorder(RandomClock source) : clock_(std::move(source)) {}

Recorder::Recorder(RecordingWriter& writer, RandomClock source)
    : writer_(&writer), clock_(std::move(source)) {}

Recorder::Recorder(const Recording& played, long frame, RecordingWriter* writer, RandomClock source)
    : writer_(writer), clock_(std::move(source)), frame_(frame) {
  for (const std::string& text : linesUpTo(played, frame, held_)) line(text);
  startedUp_ = true;
}

void Recorder::line(const std::string& text) {
  kept_ += text;
  kept_ += '\n';
  if (writer_) writer_->line(text);
}

void Recorder::beginFrame() {
  if (!startedUp_) writeStartUp();
  ++frame_;
}

// Every start-up reads the clock (the landscape seed first of all).
void Recorder::writeStartUp() {
  line(frameLine(0, {}, held_, held_, clock_.takeFrame()));
  startedUp_ = true;
}

void Recorder::endFrame(const FrameInput& input, const b2World& world) {
  const std::string text = frameLine(frame_, input.events, held_, input.held, clock_.takeFrame());
  if (!text.empty()) line(text);
  if (frame_ % kCheckpointInterval == 0) line(checkpointLine(frame_, worldDigest(world)));
  // A frame alone marks how far the session got, once a second when nothing
  // else did: a recording cut short by a crash then plays to within a second of it.
  else if (text.empty() && writer_ && writer_->quietForASecond()) line(std::to_string(frame_));
  held_ = input.held;
}

void Recorder::finish() {
  if (!startedUp_) writeStartUp();
  if (writer_) writer_->line(endLine(frame_));
}

void Recorder::abandon(const FrameInput& input) {
  if (!startedUp_) return finish();
  const std::string text = frameLine(frame_, input.events, held_, input.held, clock_.frameSoFar());
  if (!text.empty()) line(text);
  finish();
}

std::string Recorder::textSoFar() const {
  std::string text = headerLine() + '\n';
  // Before the first frame the start-up's readings are still the clock's own.
  if (!startedUp_) text += frameLine(0, {}, held_, held_, clock_.frameSoFar()) + '\n';
  return text + kept_ + endLine(frame_) + '\n';
}
