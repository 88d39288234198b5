#include "render/timeline_bar.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

#include "render/window_pixels.h"

namespace {

constexpr int kPad = 3;
constexpr int kRowStep = 3;  // between branch lines
constexpr int kRows = 3;     // shown above the track; older ones share the top row
constexpr int kTrackHeight = 8;

void colour(float r, float g, float b, float a = 1) { glColor4f(r, g, b, a); }

}  // namespace

long TimelineShown::frameAt(int x) const {
  if (track.width <= 0) return first;
  const long span = last - first;
  const long at = first + (static_cast<long>(x - track.x) * span + track.width / 2) / track.width;
  return std::clamp(at, first, last);
}

int TimelineShown::xOf(long frame) const {
  const long span = std::max(last - first, 1L);
  return track.x + static_cast<int>((frame - first) * track.width / span);
}

std::string timeText(long frames) {
  const long tenths = frames / 6;  // 60 frames a second
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld.%ld", tenths / 600, tenths / 10 % 60, tenths % 10);
  return text;
}

TimelineShown drawTimelineBar(const WindowPixels& window, const PanelBox& box,
                              const TimelineBar& bar) {
  TimelineShown shown;
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  colour(0.05f, 0.05f, 0.08f, 0.6f);
  window.box(box.x, box.y, box.width, box.height);
  glDisable(GL_BLEND);

  const int rowsTop = box.y + kPad;
  shown.track = {box.x + kPad + 4, rowsTop + kRows * kRowStep + 2, box.width - 2 * kPad - 8,
                 kTrackHeight};
  shown.first = 0;
  shown.last = std::max({bar.total, bar.end, bar.now, 1L});
  for (const TimelineBar::Line& line : bar.branches) shown.last = std::max(shown.last, line.end);
  const PanelBox& t = shown.track;
  auto span = [&](long from, long to, int y, int height) {
    const int x0 = shown.xOf(from), x1 = std::max(shown.xOf(to), x0 + 1);
    window.box(x0, y, x1 - x0, height);
  };

  // Dropped: nothing to return to. Kept: the past solid, the future paler.
  colour(0.25f, 0.25f, 0.28f);
  span(shown.first, shown.last, t.y, t.height);
  colour(0.2f, 0.45f, 0.85f);
  span(bar.oldest, bar.now, t.y, t.height);
  colour(0.55f, 0.7f, 0.9f);
  span(bar.now, bar.end, t.y, t.height);
  colour(0.12f, 0.25f, 0.5f);
  for (const auto& [from, to] : bar.thinned)
    if (to > from + 1) span(from + 1, to, t.y + t.height / 2 - 1, 2);

  // Branches above, each from where it parted; the newest on the lowest row.
  const int count = static_cast<int>(bar.branches.size());
  for (int i = 0; i < count; ++i) {
    const TimelineBar::Line& line = bar.branches[static_cast<size_t>(count - 1 - i)];
    const int row = std::min(i, kRows - 1);
    const int y = t.y - 2 - row * kRowStep - 1;
    colour(0.95f, 0.75f, 0.25f);
    span(line.from, line.end, y - 1, 2);
    shown.rows.push_back({line.id, y, line.from, line.end});
  }

  for (const TimelineBar::Mark& m : bar.marks) {
    switch (m.kind) {
      case 'K': colour(0.3f, 0.9f, 0.4f); break;
      case 'N': colour(0.9f, 0.35f, 0.9f); break;
      case 'S': colour(1, 1, 1); break;
      default: colour(1, 0.5f, 0.2f); break;
    }
    window.box(shown.xOf(m.frame) - 1, t.y - 2, 2, t.height + 4);
  }
  if (bar.target >= 0) {
    colour(1, 0.9f, 0.2f);
    window.box(shown.xOf(bar.target) - 1, t.y + t.height, 3, 3);
  }
  // The present: a handle over the track.
  const int x = shown.xOf(bar.now);
  colour(0, 0, 0);
  window.box(x - 2, t.y - 3, 5, t.height + 6);
  colour(1, 1, 1);
  window.box(x - 1, t.y - 2, 3, t.height + 4);

  std::string text = timeText(bar.now) + " / " + timeText(shown.last);
  if (bar.backBy > 0) {
    char back[32];
    std::snprintf(back, sizeof back, "   -%ld.%ld s", bar.backBy / 60, bar.backBy / 6 % 10);
    text += back;
  }
  if (bar.ended) text += "   END - T takes over";
  colour(1, 1, 1);
  window.text(t.x, t.y + t.height + 4, text);
  return shown;
}
