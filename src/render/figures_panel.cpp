#include "render/figures_panel.h"

#include <GL/gl.h>

#include <algorithm>

#include "render/window_pixels.h"

namespace {
constexpr int kAdvance = 7, kLineHeight = 14, kMargin = 6, kPad = 6;
}

void drawFiguresPanel(const std::vector<std::string>& lines, int bottomMargin) {
  size_t columns = 0;
  for (const std::string& line : lines) columns = std::max(columns, line.size());
  const int width = kAdvance * static_cast<int>(columns) - 1 + 2 * kPad;
  const int height = kLineHeight * static_cast<int>(lines.size()) - 2 + 2 * kPad;
  const WindowPixels window;
  const int top = window.pictureHeight() - bottomMargin - kMargin - height;
  glColor3f(0.08f, 0.08f, 0.1f);
  window.box(kMargin, top, width, height);
  glColor3f(0.6f, 1, 0.6f);
  int y = top + kPad;
  for (const std::string& line : lines) {
    window.text(kMargin + kPad, y, line);
    y += kLineHeight;
  }
}
