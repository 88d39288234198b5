#include "render/text_panel.h"

#include <GL/gl.h>

#include <algorithm>

#include "render/text.h"
#include "render/window_pixels.h"

int textWidth(size_t columns) { return kGlyphAdvance * static_cast<int>(columns) - 1; }

int textHeight(size_t lines) { return kLineHeight * static_cast<int>(lines) - 2; }

PanelBox placeTextPanel(int pictureWidth, int pictureHeight, const TextPanel& panel) {
  size_t rows = 0;
  int textRight = 0;
  for (const TextColumn& column : panel.columns) {
    rows = std::max(rows, column.lines.size());
    size_t longest = 0;
    for (const std::string& line : column.lines) longest = std::max(longest, line.size());
    textRight = std::max(textRight, column.x + textWidth(longest));
  }
  PanelBox box;
  box.width = panel.width ? panel.width : textRight + 2 * panel.pad;
  box.height = textHeight(rows) + 2 * panel.pad;
  const bool left = panel.corner != Corner::topRight;
  const bool top = panel.corner != Corner::bottomLeft;
  box.x = left ? panel.across : pictureWidth - panel.across - box.width;
  box.y = top ? panel.down : pictureHeight - panel.down - box.height;
  return box;
}

PanelBox drawTextPanel(const WindowPixels& window, const TextPanel& panel) {
  const PanelBox box = placeTextPanel(window.pictureWidth(), window.pictureHeight(), panel);

  const Colour& back = panel.background;
  if (panel.opacity < 1) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }
  glColor4f(back.red, back.green, back.blue, panel.opacity);
  window.box(box.x, box.y, box.width, box.height);
  if (panel.opacity < 1) glDisable(GL_BLEND);

  for (const TextColumn& column : panel.columns) {
    glColor3f(column.ink.red, column.ink.green, column.ink.blue);
    int y = box.y + panel.pad;
    for (const std::string& line : column.lines) {
      if (!line.empty()) window.text(box.x + panel.pad + column.x, y, line);
      y += kLineHeight;
    }
  }
  return box;
}
