#include "render/window_pixels.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "base/units.h"
#include "render/text.h"

int overlayZoom(float pictureScale, int windowWidth) {
  const int byScale = pictureScale > 1.5f ? static_cast<int>(std::lround(pictureScale)) : 1;
  return std::min(std::max(byScale, windowWidth >= 1800 ? 2 : 1), kMaxOverlayZoom);
}

int roomyOverlayZoom(int pictureWidth) {
  return std::clamp(pictureWidth / 640, 1, kMaxOverlayZoom);
}

WindowPixels::WindowPixels(int zoom) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  scale_ = viewport[2] > 0 ? static_cast<float>(viewport[2]) / WIDTH : 1.0f;
  zoom_ = zoom > 0 ? zoom : overlayZoom(scale_);
}

int WindowPixels::pictureWidth() const { return static_cast<int>(WIDTH * scale_) / zoom_; }

int WindowPixels::pictureHeight() const { return static_cast<int>(HEIGHT * scale_) / zoom_; }

void WindowPixels::box(int x, int y, int width, int height) const {
  glRectf(units(x), units(y), units(x + width), units(y + height));
}

void WindowPixels::text(int x, int y, const std::string& text) const {
  if (zoom_ == 1) {
    // myText puts the glyphs' baseline 12 picture units below y: 12 window pixels here.
    myText(static_cast<int>(units(x)), static_cast<int>(units(y + kGlyphHeight)) - kGlyphHeight,
           text);
    return;
  }
  // Bitmaps cannot be enlarged: each lit pixel of the font becomes a square,
  // all of one string's squares in one batch.
  glBegin(GL_QUADS);
  for (size_t i = 0; i < text.size(); ++i) {
    const int c = static_cast<unsigned char>(text[i]);
    if (c < 31 || c > 126) continue;
    const int left = x + kGlyphAdvance * static_cast<int>(i);
    for (int row = 0; row < kGlyphHeight; ++row) {  // bottom row first
      const unsigned bits = GL_FONT_DATA[c - 31][row];
      for (int column = 0; column < kGlyphWidth; ++column)
        if (bits & (0x80u >> column)) square(left + column, y + kGlyphHeight - 1 - row);
    }
  }
  glEnd();
}

void WindowPixels::square(int x, int y) const {
  glVertex2f(units(x), units(y));
  glVertex2f(units(x + 1), units(y));
  glVertex2f(units(x + 1), units(y + 1));
  glVertex2f(units(x), units(y + 1));
}
