#include "render/console_strip.h"

#include <algorithm>
#include <vector>

#include "render/text.h"
#include "render/text_panel.h"
#include "render/window_pixels.h"

namespace {
constexpr int kPad = 5;
}

int consoleStripHeight() { return textHeight(kConsoleStripLines) + 2 * kPad; }

void drawConsoleStrip(const std::deque<std::string>& lines) {
  const WindowPixels window;
  const size_t columns = static_cast<size_t>((window.pictureWidth() - 2 * kPad) / kGlyphAdvance);
  const size_t shown = std::min(lines.size(), static_cast<size_t>(kConsoleStripLines));
  // The newest line sits on the band's last row, the older ones above it.
  std::vector<std::string> rows(kConsoleStripLines - shown);
  for (size_t i = lines.size() - shown; i < lines.size(); ++i)
    rows.push_back(lines[i].substr(0, columns));

  TextPanel panel;
  panel.columns = {{rows, {1, 1, 1}}};
  panel.corner = Corner::bottomLeft;
  panel.pad = kPad;
  panel.width = window.pictureWidth();
  // Dark enough under white text on the palest sky, light enough to see the
  // ground through it.
  panel.background = {0, 0, 0};
  panel.opacity = 0.6f;
  drawTextPanel(window, panel);
}
