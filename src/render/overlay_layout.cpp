#include "render/overlay_layout.h"

#include <algorithm>
#include <cmath>

#include "render/console_strip.h"
#include "render/key_panel.h"
#include "render/toolbar.h"

namespace {

// The ship starts centred on (150, 840), 150 x 30; B builds the car under it,
// down to the ground.
constexpr int kShipLeft = 75, kShipTop = 825, kShipRight = 225;

}  // namespace

bool intersect(const PanelBox& a, const PanelBox& b) {
  if (a.width <= 0 || a.height <= 0 || b.width <= 0 || b.height <= 0) return false;
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

OverlayLayout layOutOverlays(const OverlaySpace& space, bool keys, int figureRows, bool console,
                             bool timeline, bool toolbar) {
  const float k = space.perPicturePixel;
  OverlayLayout layout{};
  const int shipLeft = static_cast<int>(std::floor(kShipLeft * k));
  const int shipTop = static_cast<int>(std::floor(kShipTop * k));
  const int shipRight = static_cast<int>(std::ceil(kShipRight * k));
  layout.ship = {shipLeft, shipTop, shipRight - shipLeft, space.height - shipTop};

  const int marksLeft = space.width - kOverlayGap - kMarksRoom;
  layout.marks = {marksLeft, kOverlayGap, kMarksRoom, kMarkHeight};
  layout.messages = {kOverlayGap, kOverlayGap, marksLeft - 2 * kOverlayGap, kMarkHeight};
  const int belowMarks = kOverlayGap + kMarkHeight + kOverlayGap;

  int bottom = space.height;  // what lies along the bottom edge starts here
  if (timeline) {
    layout.timeline = {kOverlayGap, space.height - kTimelineHeight, space.width - 2 * kOverlayGap,
                       kTimelineHeight};
    bottom = layout.timeline.y;
  }
  if (console) {
    const int left = shipRight + kOverlayGap;
    layout.console = {left, bottom - consoleStripHeight(), space.width - left,
                      consoleStripHeight()};
    bottom = layout.console.y;
  }
  int right = space.width;  // the keys' room ends here
  if (figureRows > 0) {
    const int width = textWidth(kFigureColumns) + 2 * kFigurePad;
    const int height = std::min(textHeight(static_cast<size_t>(figureRows)) + 2 * kFigurePad,
                                bottom - kOverlayGap - belowMarks);
    layout.figures = {space.width - kOverlayGap - width, belowMarks, width, height};
    right = layout.figures.x;
  }
  int left = kOverlayGap;  // the keys' room starts here
  if (toolbar) {
    layout.toolbar = toolbarBox();
    left = layout.toolbar.x + layout.toolbar.width + kOverlayGap;
  }
  if (keys) {
    const int last = std::min(bottom, shipTop) - kOverlayGap;
    int top = belowMarks;
    // Too narrow beside the figures: under them, across, where a few rows fit.
    if (figureRows > 0 && right - kOverlayGap - left < keyPanelNarrowest()) {
      const int under = layout.figures.y + layout.figures.height + kOverlayGap;
      if (last - under >= textHeight(6)) top = under, right = space.width;
    }
    layout.keys = {left, top, right - kOverlayGap - left, last - top};
  }
  return layout;
}
