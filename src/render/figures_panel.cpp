#include "render/figures_panel.h"

#include "render/text_panel.h"
#include "render/window_pixels.h"

void drawFiguresPanel(const std::vector<std::string>& lines, int bottomMargin) {
  TextPanel panel;
  panel.columns = {{lines, {0.6f, 1, 0.6f}}};
  panel.corner = Corner::bottomLeft;
  panel.across = 6;
  panel.down = bottomMargin + 6;
  panel.pad = 6;
  panel.background = {0.08f, 0.08f, 0.1f};
  drawTextPanel(WindowPixels(), panel);
}
