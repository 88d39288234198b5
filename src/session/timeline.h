#pragma once
// The session's time as lines: the line being played, with the frames that
// came after the present kept as its future until something changes course,
// and the futures left behind as branches, each from the moment where it
// parted. Here are the pieces the history keeps them in, what counts as an
// action for undo, and what the bar is shown of it.

#include <cstddef>
#include <deque>
#include <vector>

#include "recording/frame_input.h"
#include "recording/recording.h"
#include "state/snapshot.h"
#include "state/snapshot_packer.h"

// A frame as the history keeps it, to play it again exactly.
struct PlayedFrame {
  std::vector<InputEvent> events;
  std::vector<int> held;  // the symbols held: a few, of key::COUNT
  std::vector<ClockReading> clock;
  long course = 0;        // the course it was first played in (see History)
  bool action = false;    // undo stops before it
  bool fromHold = false;  // played where a seek had stopped time, which it stops again
};

// A snapshot of the game before a frame.
struct KeptSnapshot {
  long frame;           // the moment before this frame was played
  bool pinned;          // right after F5, F9 or N: thinned out only beyond the newest few
  Snapshot snapshot;    // its region packed into `packed`
  PackedRegion packed;  // zstd: a few times smaller; counted once the next is kept
};

// Where something happened on the bar: the frame in which F5 kept a moment, N
// built a new world, S saved, or a resume or a take-over began.
struct TimeMark {
  enum Kind { kept, newWorld, saved, began };
  long frame;
  Kind kind;
};

// A future left behind: the frames after `from`, with their snapshots and marks.
struct Branch {
  int id = 0;
  long from = 0;
  // The course of the frame before `from` on the line it parted from: the
  // line still leads to it while its frame there was played in that course.
  long prefixCourse = -1;
  std::deque<PlayedFrame> frames;
  std::deque<KeptSnapshot> kept;
  std::vector<TimeMark> marks;
  std::size_t bytes = 0;
  long end() const { return from + static_cast<long>(frames.size()); }
};

// An action: what Ctrl+Z goes back to just before. A press of C, B, J, D, N or
// F9, or the left button pressed in the picture (a grab, or a build).
bool isAction(const InputEvent& e);

// What the bar shows of the history, in frames played (60 a second).
struct TimelineSummary {
  long oldest = 0;  // the oldest moment it can return to
  long now = 0;
  long end = 0;  // the newest moment of the line; beyond `now` its kept future
  // Stretches whose snapshots the history thinned (over one interval apart).
  std::vector<std::pair<long, long>> thinned;
  std::vector<TimeMark> marks;
  struct Shown {
    int id;
    long from, end;
  };
  std::vector<Shown> branches;  // those the line still leads to
  long backBy = 0;              // frames gone back by the Backspace held now
  bool held = false;            // time stands at a moment gone to
};
