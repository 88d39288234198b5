#include "render/window_pixels.h"

#include <GL/gl.h>

#include "render/text.h"
#include "state/state.h"

WindowPixels::WindowPixels() {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  scale_ = viewport[2] > 0 ? static_cast<float>(viewport[2]) / WIDTH : 1.0f;
}

int WindowPixels::pictureWidth() const { return static_cast<int>(WIDTH * scale_); }

int WindowPixels::pictureHeight() const { return static_cast<int>(HEIGHT * scale_); }

void WindowPixels::box(int x, int y, int width, int height) const {
  glRectf(units(x), units(y), units(x + width), units(y + height));
}

void WindowPixels::text(int x, int y, const std::string& text) const {
  // myText puts the glyphs' baseline 12 picture units below y: 12 window pixels here.
  myText(static_cast<int>(units(x)), static_cast<int>(units(y + 12)) - 12, text);
}
