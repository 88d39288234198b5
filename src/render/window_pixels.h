#pragma once
// Overlays laid out in window pixels from the picture's top-left corner: the
// bitmap font keeps its size however the picture is scaled, so the boxes
// under the text must keep theirs too. Where the picture is scaled up by more
// than half as much again (a large or HiDPI screen), an overlay pixel is a
// whole number of window pixels, so that the text stays readable and sharp.

#include <string>

// Window pixels per overlay pixel for a picture scaled by this much in a
// window this wide: 2 from about 1800 pixels wide (a large screen, or the
// full screen on one), and wherever the picture is scaled up by more than
// half as much again.
int overlayZoom(float pictureScale, int windowWidth = 0);
// The most a user may choose (--ui-scale, Ctrl with + and -).
constexpr int kMaxOverlayZoom = 4;
// The most a picture this wide (window pixels) has room for: the overlays
// are laid out apart in 640 overlay pixels across, and no fewer.
int roomyOverlayZoom(int pictureWidth);

class WindowPixels {
 public:
  // Takes the picture's scale from the viewport; zoom 0 chooses it from the
  // picture's scale alone.
  explicit WindowPixels(int zoom = 0);

  int pictureWidth() const;  // in overlay pixels
  int pictureHeight() const;
  int zoom() const { return zoom_; }
  // Overlay pixels per pixel of the 1280 x 940 picture.
  float perPicturePixel() const { return scale_ / static_cast<float>(zoom_); }
  // A filled box in the current colour, in overlay pixels.
  void box(int x, int y, int width, int height) const;
  // Text with its top-left corner at (x, y), 7 pixels a character, 12 high.
  void text(int x, int y, const std::string& text) const;

 private:
  void square(int x, int y) const;  // one overlay pixel, inside glBegin(GL_QUADS)
  float units(int pixels) const { return static_cast<float>(pixels * zoom_) / scale_; }
  float scale_;
  int zoom_;
};
