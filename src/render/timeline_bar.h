#pragma once
// The session's time along the bottom of the picture: its whole span, the
// part the history thinned or dropped, the kept future, the present as a
// handle with its time and the whole length, marks of F5, N, S and where a
// resume or a take-over began, and the branches left, each a thin line above
// the bar from the moment where it parted. Plain values in, so that the bar
// knows nothing of the history; drawn in overlay pixels (window_pixels.h).

#include <string>
#include <vector>

#include "render/text_panel.h"

class WindowPixels;

// What the bar shows, in frames played (60 a second).
struct TimelineBar {
  long oldest = 0;  // the oldest moment the history can return to
  long now = 0;
  long end = 0;    // the line's newest moment: beyond `now`, its kept future
  long total = 0;  // the span's right end: a replay's whole recording
  std::vector<std::pair<long, long>> thinned;  // stretches with few snapshots
  struct Mark {
    long frame;
    char kind;  // 'K' kept (F5), 'N' new world, 'S' saved, 'B' began (resume, take-over)
  };
  std::vector<Mark> marks;
  struct Line {
    int id;
    long from, end;
  };
  std::vector<Line> branches;
  long backBy = 0;     // Backspace held: frames gone back, shown "-12.3 s"
  long target = -1;    // where undo or redo went, shown as a mark
  bool ended = false;  // a windowed replay at its end: "END - T takes over"
};

// Where the bar was drawn, for the pointer: the track and the moments at its
// ends, and each branch's line.
struct TimelineShown {
  PanelBox track{0, 0, 0, 0};
  long first = 0, last = 0;  // the moments at the track's left and right edges
  struct Row {
    int id, y;
    long from, end;
  };
  std::vector<Row> rows;  // each branch's line, at y and the row above
  // The moment under overlay x, within the span.
  long frameAt(int x) const;
  int xOf(long frame) const;
};

// m:ss.s
std::string timeText(long frames);

// Draws it in `box` (its room in the layout).
TimelineShown drawTimelineBar(const WindowPixels& window, const PanelBox& box,
                              const TimelineBar& bar);
