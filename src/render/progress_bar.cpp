#include "render/progress_bar.h"

#include <GL/gl.h>

#include <algorithm>

#include "render/text.h"
#include "render/text_panel.h"
#include "render/window_pixels.h"

void drawProgressBar(double done, const std::string& label) {
  glClearColor(0.08f, 0.08f, 0.12f, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  const WindowPixels window;
  const int width = window.pictureWidth() * 2 / 3, height = 16;
  const int x = (window.pictureWidth() - width) / 2, y = window.pictureHeight() / 2;
  glColor3f(0.3f, 0.3f, 0.35f);
  window.box(x, y, width, height);
  glColor3f(0.4f, 0.7f, 1);
  window.box(x + 2, y + 2, static_cast<int>((width - 4) * std::clamp(done, 0.0, 1.0)), height - 4);
  glColor3f(1, 1, 1);
  window.text(x, y - 2 * kLineHeight, label);
  window.text(x, y + height + kLineHeight, "Escape cancels");
}
