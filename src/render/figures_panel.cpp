#include "render/figures_panel.h"

#include <algorithm>

#include "render/overlay_layout.h"
#include "render/text.h"
#include "render/window_pixels.h"

void drawFiguresPanel(const WindowPixels& window, const PanelBox& box,
                      const std::vector<std::string>& lines) {
  std::vector<std::string> shown;
  const size_t rows =
      static_cast<size_t>(std::max(0, (box.height - 2 * kFigurePad + 2) / kLineHeight));
  for (size_t i = 0; i < lines.size() && i < rows; ++i)
    shown.push_back(lines[i].substr(0, kFigureColumns));
  TextPanel panel;
  panel.columns = {{shown, {0.6f, 1, 0.6f}}};
  panel.corner = Corner::topRight;
  panel.across = window.pictureWidth() - box.x - box.width;
  panel.down = box.y;
  panel.pad = kFigurePad;
  panel.width = box.width;
  panel.background = {0.08f, 0.08f, 0.1f};
  drawTextPanel(window, panel);
}
