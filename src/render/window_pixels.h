#pragma once
// Overlays laid out in window pixels from the picture's top-left corner: the
// bitmap font keeps its size however the picture is scaled, so the boxes
// under the text must keep theirs too.

#include <string>

class WindowPixels {
 public:
  WindowPixels();  // takes the picture's scale from the viewport

  int pictureWidth() const;  // in window pixels
  int pictureHeight() const;
  // A filled box in the current colour.
  void box(int x, int y, int width, int height) const;
  // Text with its top-left corner at (x, y), 7 pixels a character, 12 high.
  void text(int x, int y, const std::string& text) const;

 private:
  float units(int pixels) const { return static_cast<float>(pixels) / scale_; }
  float scale_;
};
