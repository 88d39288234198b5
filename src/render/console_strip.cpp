#include "render/console_strip.h"

#include <algorithm>
#include <vector>

#include "render/text.h"
#include "render/window_pixels.h"

namespace {
constexpr int kPad = 5;
}

int consoleStripHeight() { return textHeight(kConsoleStripLines) + 2 * kPad; }

void drawConsoleStrip(const WindowPixels& window, const PanelBox& box,
                      const std::deque<std::string>& lines) {
  const size_t columns = static_cast<size_t>(std::max(0, (box.width - 2 * kPad) / kGlyphAdvance));
  const size_t shown = std::min(lines.size(), static_cast<size_t>(kConsoleStripLines));
  // The newest line sits on the band's last row, the older ones above it.
  std::vector<std::string> rows(kConsoleStripLines - shown);
  for (size_t i = lines.size() - shown; i < lines.size(); ++i)
    rows.push_back(lines[i].substr(0, columns));

  TextPanel panel;
  panel.columns = {{rows, {1, 1, 1}}};
  panel.corner = Corner::bottomLeft;
  panel.across = box.x;
  panel.down = window.pictureHeight() - box.y - box.height;
  panel.pad = kPad;
  panel.width = box.width;
  panel.background = {0.08f, 0.08f, 0.1f};
  drawTextPanel(window, panel);
}
