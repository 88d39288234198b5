#pragma once
// A recording as values: the start-up's clock readings (frame 0) and every
// frame whose input changed. The text form is described in the manual page.

#include <cstdint>
#include <ctime>
#include <deque>
#include <string>
#include <vector>

#include "recording/frame_input.h"

constexpr const char* kRecordingKind = "skyhook-recording";
// 2: the keys of speed, going back in time (Backspace held), F5, F9 and N. A
// version 1 recording holds none of them and plays as it always did.
// 3: checkpoints, and the build's physics identity in the header; N within
// one second builds a new world (version 2 and older replay the repeated one);
// moves through the session's time (seek, undo, redo, branch), with the
// moment each goes to.
// 4: where a resumed session went on live, so that its replay's history, as
// the session's did, keeps nothing from before to go back to.
constexpr int kRecordingVersion = 4;
// Frames between checkpoints: one a second of play.
constexpr long kCheckpointInterval = 60;

// Bounds of the fields; a reader refuses anything outside them.
constexpr long kMaxFrame = 1000000000;  // about six months at 60 frames a second
constexpr long kMaxClockRead = 1000000000;
constexpr long long kMaxSecond = 253402300799;  // the last second of the year 9999
constexpr int kMaxPointer = 100000;             // pixels either way: 80 windows' widths
constexpr size_t kMaxLineLength = 65536;        // bytes, without the line end
// What one recording may hold, so that an endless input ends with a message.
// The lines bound the time reading takes; the items (events, held keys'
// changes and clock changes, 16 bytes each, and a frame kept only with one or
// more) bound the memory, to 256 MiB: 38 hours of input that changes every frame.
constexpr long kMaxLines = 1L << 24;
constexpr long kMaxItems = 1L << 23;
// How many frames a recording's clock readings allow, so that one wrong end
// line cannot make a replay or a resume run for days. A session records one
// frame a picture, paced to at most 60 a second (at x8 the eight steps fall in
// one frame), and its readings follow the calendar's seconds; the bound allows
// eight times that over the seconds between its earliest and latest reading,
// and a day of frames more, for stretches that read no clock at all (time
// stopped, or nothing random in play).
constexpr long kFramesPerClockSecond = 8 * 60;
constexpr long kFramesWithoutClock = 24L * 3600 * 60;

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

// The world's digest, cut to 32 bits, after a frame: a replay that steps
// another world says at which frame it departed.
struct Checkpoint {
  std::uint32_t frame;
  std::uint32_t digest;
};

// A frame whose input changed. Its items lie in the recording's lists, from
// these places up to where the next frame's begin.
struct RecordedFrame {
  std::uint32_t frame;  // 0 is the start-up
  std::uint32_t events, keys, clock;
};

// A frame's items, as a range over one of the recording's lists.
template <typename Item>
struct FrameItems {
  typename std::deque<Item>::const_iterator first, last;
  auto begin() const { return first; }
  auto end() const { return last; }
};

// Compact, since a recording may be long: the items of all frames in one list
// of each kind, and no entry at all for a frame whose input did not change.
// Deques grow without copying, so that reading needs no more than they hold.
struct Recording {
  std::string path;
  std::string programVersion;
  int version = kRecordingVersion;   // of the format it was written in
  std::deque<RecordedFrame> frames;  // in frame order; frames[0] is frame 0
  std::deque<InputEvent> events;
  std::deque<KeyChange> keys;
  std::deque<ClockReading> clock;
  long end = 0;        // frames played in all
  bool ended = false;  // the end line was written: the session ended normally
  // The identity of the build that wrote the checkpoints, and they in frame order.
  std::string physics;
  std::deque<Checkpoint> checkpoints;

  // The items of frames[i].
  FrameItems<InputEvent> eventsOf(size_t i) const {
    return itemsOf(events, &RecordedFrame::events, i);
  }
  FrameItems<KeyChange> keysOf(size_t i) const { return itemsOf(keys, &RecordedFrame::keys, i); }
  FrameItems<ClockReading> clockOf(size_t i) const {
    return itemsOf(clock, &RecordedFrame::clock, i);
  }

 private:
  template <typename Item>
  FrameItems<Item> itemsOf(const std::deque<Item>& all, std::uint32_t RecordedFrame::*first,
                           size_t i) const {
    const size_t to = i + 1 < frames.size() ? frames[i + 1].*first : all.size();
    return {all.begin() + frames[i].*first, all.begin() + to};
  }
};

// The line of a frame, without its line end; empty when nothing changed.
std::string frameLine(long frame, const std::vector<InputEvent>& events, const HeldKeys& before,
                      const HeldKeys& after, const std::vector<ClockReading>& clock);
// The first line.
std::string headerLine();
// A checkpoint's line.
std::string checkpointLine(long frame, std::uint64_t digest);
// The last line of a session that ended normally.
std::string endLine(long frames);

// The lines of a recording's start-up and frames up to `frame` (without the
// header or an end line), as this version writes them, with the checkpoints
// when this build wrote them, and without the quits
// that ended the recorded session; `held` is left with the keys held after
// that frame. A session that goes on from a replayed frame keeps them as its own.
std::vector<std::string> linesUpTo(const Recording& recording, long frame, HeldKeys& held);
// The same as a whole recording that ends after `frame`.
std::string textUpTo(const Recording& recording, long frame);
