#include "render/console_strip.h"

#include <GL/gl.h>

#include <algorithm>

#include "render/window_pixels.h"

namespace {
constexpr int kAdvance = 7, kLineHeight = 14, kPad = 5;
}

int consoleStripHeight() { return kConsoleStripLines * kLineHeight - 2 + 2 * kPad; }

void drawConsoleStrip(const std::deque<std::string>& lines) {
  const WindowPixels window;
  const int top = window.pictureHeight() - consoleStripHeight();
  // Dark enough under white text on the palest sky, light enough to see the
  // ground through it.
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0, 0, 0, 0.6f);
  window.box(0, top, window.pictureWidth(), consoleStripHeight());
  glDisable(GL_BLEND);

  const size_t columns = static_cast<size_t>((window.pictureWidth() - 2 * kPad) / kAdvance);
  const size_t shown = std::min(lines.size(), static_cast<size_t>(kConsoleStripLines));
  // The newest line sits on the band's last row, the older ones above it.
  int y = top + kPad + kLineHeight * static_cast<int>(kConsoleStripLines - shown);
  glColor3f(1, 1, 1);
  for (size_t i = lines.size() - shown; i < lines.size(); ++i) {
    window.text(kPad, y, lines[i].substr(0, columns));
    y += kLineHeight;
  }
}
