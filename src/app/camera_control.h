#pragma once
// The camera driven by the user: the wheel zooms about the pointer, the right
// or middle button drags the picture, + and - zoom about the window's centre,
// Home gives the game's own view back, F follows the ship. It only changes the
// view: what reaches the game stays in the picture's points, through toPicture.

#include <SDL/SDL.h>

#include "app/picture_area.h"
#include "render/camera.h"

class Renderer;
class Screen;
struct State;

class CameraControl {
 public:
  // The wheel, and the right or middle button's drag; says whether the event
  // was one of them.
  bool handleMouse(const SDL_Event& event, const Screen& screen);
  void zoomIn() { zoomAboutCentre(1); }
  void zoomOut() { zoomAboutCentre(-1); }
  void home();  // also ends the follow
  void toggleFollow();

  // The picture point under a window pixel: what the game is given for the pointer.
  PicturePoint toPicture(const Screen& screen, int windowX, int windowY) const;

  // Once a frame before the frame is drawn: the follow eases on; the
  // projection is set where the camera moved or the screen was set again
  // (which resets it); the renderer is told what the view shows. At the
  // identity, with nothing moved, it makes no OpenGL call.
  void beforeFrame(const State& state, Renderer& renderer);
  // The screen's mode or size was set again, and with it the plain projection.
  void screenChanged() { projectionKnown_ = false; }

  const Camera& camera() const { return camera_; }
  bool following() const { return following_; }
  // Where the left button's drag pulls, in the picture: noted for every press
  // and move that reaches the game; says whether the place is new. A view that
  // moves under a still pointer changes the place too.
  bool pullTo(PicturePoint point);
  // Whether the view moved since the last time this was asked.
  bool movedSinceAsked();

 private:
  void zoomAboutCentre(int steps);
  void follow(const State& state);

  Camera camera_;
  Camera projected_;  // what the projection shows
  Camera asked_;      // as movedSinceAsked last saw it
  PicturePoint pull_{-1, -1};
  bool projectionKnown_ = true;  // the screen starts with the identity's projection
  bool following_ = false;
  double followScale_ = 1;  // the scale the follow keeps when it need not zoom out
  Uint8 dragButton_ = 0;    // the right or middle button while it drags
  ViewPoint dragFrom_{0, 0};
};
