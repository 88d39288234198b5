#pragma once
// Overlays laid out in window pixels from the picture's top-left corner: the
// bitmap font keeps its size however the picture is scaled, so the boxes
// under the text must keep theirs too. Where the picture is scaled up by more
// than half as much again (a large or HiDPI screen), an overlay pixel is a
// whole number of window pixels, so that the text stays readable and sharp.

#include <string>

// Window pixels per overlay pixel for a picture scaled by this much.
int overlayZoom(float pictureScale);

class WindowPixels {
 public:
  WindowPixels();  // takes the picture's scale from the viewport

  int pictureWidth() const;  // in overlay pixels
  int pictureHeight() const;
  // A filled box in the current colour, in overlay pixels.
  void box(int x, int y, int width, int height) const;
  // Text with its top-left corner at (x, y), 7 pixels a character, 12 high.
  void text(int x, int y, const std::string& text) const;

 private:
  float units(int pixels) const { return static_cast<float>(pixels * zoom_) / scale_; }
  float scale_;
  int zoom_;
};
