#include "app/screen.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <algorithm>

#include "render/projection.h"
#include "render/window_pixels.h"

bool Screen::open(bool fullscreen) {
  if (!startVideo()) return false;
  desktop_ = desktopSize();
  windowed_ = windowFor(desktop_.width, desktop_.height);
  const GLfloat black[4] = {0, 0, 0, 0};  // OpenGL's own start
  if (setMode(fullscreen, black)) return true;
  SDL_Quit();
  return false;
}

bool Screen::toggleFullscreen() {
  if (!open_) return false;
  // SDL may give the new mode a new OpenGL context: the state that the game set
  // once (the sky's clear colour, the projection) is carried over.
  GLfloat clearColour[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
  // Where the other mode cannot be had, the one we had.
  const bool fullscreen = mode_.fullscreen;
  return setMode(!fullscreen, clearColour) || setMode(fullscreen, clearColour);
}

bool Screen::resize(int width, int height) {
  // Smaller than this, nothing of the picture could be told apart.
  constexpr int kSmallest = 64;
  const WindowSize size{std::max(width, kSmallest), std::max(height, kSmallest)};
  if (!open_ || mode_.fullscreen || (size.width == mode_.width && size.height == mode_.height))
    return false;
  GLfloat clearColour[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
  const WindowSize before = windowed_;
  windowed_ = size;
  if (setMode(false, clearColour)) return true;
  windowed_ = before;
  setMode(false, clearColour);
  return true;
}

bool Screen::setMode(bool fullscreen, const GLfloat clearColour[4]) {
  WindowMode mode;
  if (fullscreen && desktop_.width > 0) {
    mode = {desktop_.width, desktop_.height, true};
  } else {
    mode = {windowed_.width, windowed_.height, fullscreen};
  }
  open_ = openWindow(mode);
  if (!open_) return false;
  mode_ = mode;
  picture_ = fitPicture(mode.width, mode.height);

  // OpenGL counts rows from the bottom.
  const int bottom = mode.height - picture_.y - picture_.height;
  glViewport(picture_.x, bottom, picture_.width, picture_.height);
  bordered_ = picture_.width != mode.width || picture_.height != mode.height;
  if (bordered_) {
    // Frames clear and draw the picture only; clearBorder blacks out the rest.
    glScissor(picture_.x, bottom, picture_.width, picture_.height);
    glEnable(GL_SCISSOR_TEST);
  } else {
    glDisable(GL_SCISSOR_TEST);
  }
  usePixelProjection();
  glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
  return true;
}

void Screen::clearBorder() const {
  if (!bordered_) return;
  GLfloat clearColour[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
  glEnable(GL_SCISSOR_TEST);
}

int Screen::overlayZoom(int chosen) const {
  const int zoom =
      chosen ? chosen : ::overlayZoom(static_cast<float>(picture_.width) / WIDTH, mode_.width);
  return std::min(zoom, roomyOverlayZoom(picture_.width));
}
