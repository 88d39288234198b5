#pragma once
// A recording as values: the start-up's clock readings (frame 0) and every
// frame whose input changed. The text form is described in the manual page.

#include <ctime>
#include <string>
#include <vector>

#include "session/frame_input.h"

constexpr const char* kRecordingKind = "skyhook-recording";
constexpr int kRecordingVersion = 1;

// Bounds of the fields; a reader refuses anything outside them.
constexpr long kMaxFrame = 1000000000;  // about six months at 60 frames a second
constexpr long kMaxClockRead = 1000000000;
constexpr long long kMaxSecond = 253402300799;  // the last second of the year 9999
constexpr int kMaxPointer = 100000;             // pixels either way: 80 windows' widths
constexpr size_t kMaxLineLength = 65536;        // bytes, without the line end

// From the read-th reading of the clock in a frame (counted from 0) on, the
// clock gives `second`, until the next such change.
struct ClockReading {
  long read;
  std::time_t second;
};

struct KeyChange {
  int symbol;
  bool down;
};

struct RecordedFrame {
  long frame;  // 0 is the start-up
  std::vector<InputEvent> events;
  std::vector<KeyChange> keys;
  std::vector<ClockReading> clock;
};

struct Recording {
  std::string path;
  std::string programVersion;
  std::vector<RecordedFrame> frames;  // in frame order; frames[0] is frame 0
  long end = 0;                       // frames played in all
  bool ended = false;                 // the end line was written: the session ended normally
};

// The line of a frame, without its line end; empty when nothing changed.
std::string frameLine(long frame, const std::vector<InputEvent>& events, const HeldKeys& before,
                      const HeldKeys& after, const std::vector<ClockReading>& clock);
// The first line.
std::string headerLine();
// The last line of a session that ended normally.
std::string endLine(long frames);

// The lines of a recording's start-up and frames up to `frame` (without the
// header or an end line), as this version writes them, and without the quits
// that ended the recorded session; `held` is left with the keys held after
// that frame. A session that goes on from a replayed frame keeps them as its own.
std::vector<std::string> linesUpTo(const Recording& recording, long frame, HeldKeys& held);
// The same as a whole recording that ends after `frame`.
std::string textUpTo(const Recording& recording, long frame);
