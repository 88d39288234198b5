#pragma once
// The game's window on the desktop: sized to fit, or the full screen, with the
// 1280 x 940 picture scaled into it (black around it when the proportions
// differ). F11 switches between the two; the window takes any size the user
// gives it.

#include "app/picture_area.h"
#include "app/window.h"

class Screen {
 public:
  // Reads the desktop's size and opens the window, or the full screen. On
  // failure the reason is on standard error and SDL is shut down.
  bool open(bool fullscreen);

  // Between the window and the full screen. When neither mode can be set the
  // screen is closed (the reason is on standard error) and false is returned.
  bool toggleFullscreen();
  // The user resized the window (SDL_VIDEORESIZE): the picture is scaled to
  // fill it. False where nothing changed; on failure as toggleFullscreen.
  bool resize(int width, int height);
  bool isOpen() const { return open_; }

  // Before drawing a frame: black around a picture that does not fill the screen.
  void clearBorder() const;

  // The picture's pixel under the pointer.
  PicturePoint toPicture(int windowX, int windowY) const {
    return pictureFromWindow(picture_, windowX, windowY);
  }
  const WindowMode& mode() const { return mode_; }
  // Window pixels per pixel of the overlays: the one chosen, or 0 for one by
  // the window's size; no more than the picture has room for.
  int overlayZoom(int chosen) const;
  const PictureArea& picture() const { return picture_; }

 private:
  bool setMode(bool fullscreen, const float clearColour[4]);

  DesktopSize desktop_;
  WindowSize windowed_{WIDTH, HEIGHT};  // the window's size out of the full screen
  WindowMode mode_;
  PictureArea picture_{0, 0, WIDTH, HEIGHT};
  bool open_ = false;
  bool bordered_ = false;  // the picture leaves a border
};
