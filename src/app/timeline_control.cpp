#include "app/timeline_control.h"

#include <algorithm>
#include <cstdlib>

#include "app/screen.h"
#include "game/keys.h"
#include "recording/frame_input.h"
#include "render/overlay_layout.h"
#include "render/overlays.h"
#include "session/session.h"

namespace {

// A seek replaces the picture's earlier one: dragging, only where the pointer ended counts.
void addSeek(FrameInput& input, int by, long frame, int branch = 0) {
  auto& events = input.events;
  events.erase(std::remove_if(events.begin(), events.end(),
                              [](const InputEvent& e) { return e.kind == InputEvent::Seek; }),
               events.end());
  events.push_back({InputEvent::Seek, by, static_cast<int>(frame), branch});
}

constexpr int kMarkReach = 3;  // overlay pixels either side of an F5 mark that a click takes to it

}  // namespace

bool TimelineControl::toOverlay(const Screen& screen, const Overlays& overlays, int x, int y,
                                int& ox, int& oy) const {
  const PictureArea& p = screen.picture();
  const int zoom = std::max(overlays.shown.zoom, 1);
  if (x < p.x || y < p.y || x >= p.x + p.width || y >= p.y + p.height) return false;
  ox = (x - p.x) / zoom;
  oy = (y - p.y) / zoom;
  return true;
}

bool TimelineControl::onBar(const Screen& screen, const Overlays& overlays, int x, int y) const {
  int ox = 0, oy = 0;
  if (!toOverlay(screen, overlays, x, y, ox, oy)) return false;
  const int height = screen.picture().height / std::max(overlays.shown.zoom, 1);
  return oy >= height - kTimelineHeight;
}

void TimelineControl::seekTo(const Overlays& overlays, int ox, int oy, FrameInput& input,
                             bool clicked) {
  const TimelineShown& bar = overlays.shown.timeline;
  if (bar.track.width <= 0) return;
  if (clicked) {
    // A branch's line: onto it, at the moment under the pointer.
    for (const TimelineShown::Row& row : bar.rows) {
      const long at = bar.frameAt(ox);
      if (std::abs(oy - row.y) <= 1 && at >= row.from && at <= row.end) {
        scrubbing_ = false;
        return addSeek(input, seekBranch, at, row.id);
      }
    }
    // A moment kept by F5: the moment it kept.
    for (const TimelineBar::Mark& m : overlays.bar.marks)
      if (m.kind == 'K' && std::abs(bar.xOf(m.frame) - ox) <= kMarkReach)
        return addSeek(input, seekOnBar, m.frame + 1);
  }
  addSeek(input, seekOnBar, bar.frameAt(ox));
}

bool TimelineControl::handle(const SDL_Event& event, const Screen& screen, const Overlays& overlays,
                             const Session& session, FrameInput& input) {
  if (event.type == SDL_KEYDOWN) {
    const SDLKey sym = event.key.keysym.sym;
    const bool ctrl = (event.key.keysym.mod & KMOD_CTRL) != 0;
    const bool shift = (event.key.keysym.mod & KMOD_SHIFT) != 0;
    if (sym == SDLK_TAB) {
      pinned_ = !pinned_;
      return true;
    }
    if (ctrl && (sym == SDLK_z || sym == SDLK_y)) {
      const bool redo = sym == SDLK_y || shift;
      target_ = redo ? session.redoTarget() : session.undoTarget();
      if (target_ >= 0) addSeek(input, redo ? seekRedo : seekUndo, target_);
      return true;
    }
    if ((sym == SDLK_COMMA || sym == SDLK_PERIOD) && session.timeStopped()) {
      long total = 0;
      const long now = session.timeline(total).now;
      addSeek(input, seekOnBar, std::max(now + (sym == SDLK_PERIOD ? 1 : -1), 0L));
      return true;
    }
    return false;
  }
  if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT &&
      onBar(screen, overlays, event.button.x, event.button.y)) {
    int ox = 0, oy = 0;
    toOverlay(screen, overlays, event.button.x, event.button.y, ox, oy);
    scrubbing_ = true;
    seekTo(overlays, ox, oy, input, true);
    return true;
  }
  if (!scrubbing_) return false;
  if (event.type == SDL_MOUSEBUTTONUP && event.button.button == SDL_BUTTON_LEFT) {
    scrubbing_ = false;
    return true;
  }
  if (event.type == SDL_MOUSEMOTION) {
    int ox = 0, oy = 0;
    const PictureArea& p = screen.picture();
    // Beyond the picture's sides the ends of the bar.
    const int x = std::clamp(static_cast<int>(event.motion.x), p.x, p.x + p.width - 1);
    const int y = std::clamp(static_cast<int>(event.motion.y), p.y, p.y + p.height - 1);
    if (toOverlay(screen, overlays, x, y, ox, oy)) seekTo(overlays, ox, oy, input, false);
    return true;
  }
  return false;
}

void TimelineControl::show(Overlays& overlays, const Screen& screen, const Session& session,
                           const FrameInput& input) {
  int x = 0, y = 0;
  SDL_GetMouseState(&x, &y);
  const bool back = input.held[key::BACKSPACE] != 0;
  overlays.timeline = pinned_ || scrubbing_ || back || session.timeStopped() ||
                      session.replaying() || onBar(screen, overlays, x, y);
  if (!overlays.timeline) return;
  long total = 0;
  const TimelineSummary t = session.timeline(total);
  TimelineBar& bar = overlays.bar;
  bar.oldest = t.oldest;
  bar.now = t.now;
  bar.end = t.end;
  bar.total = total;
  bar.thinned = t.thinned;
  bar.marks.clear();
  static constexpr char kKinds[] = {'K', 'N', 'S', 'B'};
  for (const TimeMark& m : t.marks) bar.marks.push_back({m.frame, kKinds[m.kind]});
  bar.branches.clear();
  for (const TimelineSummary::Shown& b : t.branches) bar.branches.push_back({b.id, b.from, b.end});
  bar.backBy = t.backBy;
  bar.target = t.held ? target_ : -1;
  bar.ended = session.replayEnded();
}
