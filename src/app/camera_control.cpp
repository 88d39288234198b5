#include "app/camera_control.h"

#include <box2d/box2d.h>

#include <algorithm>
#include <cmath>

#include "app/screen.h"
#include "render/projection.h"
#include "render/renderer.h"
#include "state/state.h"

namespace {

// Window pixel to view point, in fractions of a pixel; a pixel's centre, as
// pictureFromWindow takes it.
ViewPoint viewFromWindow(const Screen& screen, int x, int y) {
  const PictureArea& a = screen.picture();
  return {(x - a.x + 0.5) * WIDTH / a.width, (y - a.y + 0.5) * HEIGHT / a.height};
}

// What the follow keeps in sight around the ship and the hanging car, picture
// pixels: the ship's hull, the car's chassis with its crane.
constexpr double kShipReach = 90, kCarReach = 110;
constexpr double kFollowMargin = 40;  // view pixels between them and the window's edge
// The share of the way to the ship the view makes each frame: about half a
// second to settle at 60 frames/s.
constexpr double kEase = 0.1;

b2Vec2 pixels(const b2Body* body) { return M2P * body->GetPosition(); }

}  // namespace

bool CameraControl::handleMouse(const SDL_Event& event, const Screen& screen) {
  switch (event.type) {
    case SDL_MOUSEBUTTONDOWN: {
      const Uint8 button = event.button.button;
      const ViewPoint at = viewFromWindow(screen, event.button.x, event.button.y);
      if (button == SDL_BUTTON_WHEELUP || button == SDL_BUTTON_WHEELDOWN) {
        const int steps = button == SDL_BUTTON_WHEELUP ? 1 : -1;
        camera_.zoomAbout(steps, at);
        followScale_ = camera_.scale();
        return true;
      }
      if (button != SDL_BUTTON_RIGHT && button != SDL_BUTTON_MIDDLE) return false;
      if (!dragButton_) dragButton_ = button, dragFrom_ = at;
      return true;
    }
    case SDL_MOUSEBUTTONUP: {
      const Uint8 button = event.button.button;
      if (button == SDL_BUTTON_WHEELUP || button == SDL_BUTTON_WHEELDOWN) return true;
      if (button != SDL_BUTTON_RIGHT && button != SDL_BUTTON_MIDDLE) return false;
      if (button == dragButton_) dragButton_ = 0;
      return true;
    }
    case SDL_MOUSEMOTION: {
      if (!dragButton_) return false;
      const ViewPoint at = viewFromWindow(screen, event.motion.x, event.motion.y);
      if (at.x != dragFrom_.x || at.y != dragFrom_.y) {
        camera_.pan(at.x - dragFrom_.x, at.y - dragFrom_.y);
        following_ = false;
      }
      dragFrom_ = at;
      // A left-button drag at the same time still moves the grabbed body.
      return !(event.motion.state & SDL_BUTTON(SDL_BUTTON_LEFT));
    }
    default: return false;
  }
}

void CameraControl::zoomAboutCentre(int steps) {
  camera_.zoomAbout(steps, {WIDTH / 2.0, HEIGHT / 2.0});
  followScale_ = camera_.scale();
}

void CameraControl::home() {
  camera_.home();
  following_ = false;
}

void CameraControl::toggleFollow() {
  following_ = !following_;
  followScale_ = camera_.scale();
}

PicturePoint CameraControl::toPicture(const Screen& screen, int windowX, int windowY) const {
  // The identity keeps the game's own mapping, border clamping included.
  if (camera_.identity()) return screen.toPicture(windowX, windowY);
  ViewPoint view = viewFromWindow(screen, windowX, windowY);
  view.x = std::clamp(view.x, 0.0, WIDTH - 0.5);  // the border belongs to no picture point
  view.y = std::clamp(view.y, 0.0, HEIGHT - 0.5);
  const ViewPoint p = camera_.toPicture(view);
  return {static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.y))};
}

void CameraControl::follow(const State& state) {
  if (!following_ || !state.ship) return;
  const b2Vec2 ship = pixels(state.ship);
  if (!state.craneCarHanging()) {
    camera_.easeToward({ship.x, ship.y}, followScale_, kEase);
    return;
  }
  // The hanging car too, zoomed out as far as that needs.
  const b2Vec2 car = pixels(state.car);
  const PictureRect area{std::min(ship.x - kShipReach, car.x - kCarReach),
                         std::min(ship.y - kShipReach, car.y - kCarReach),
                         std::max(ship.x + kShipReach, car.x + kCarReach),
                         std::max(ship.y + kShipReach, car.y + kCarReach)};
  const Shot shot = frameArea(area, kFollowMargin, followScale_);
  camera_.easeToward(shot.centre, shot.scale, kEase);
}

bool CameraControl::movedSinceAsked() {
  const bool moved = camera_ != asked_;
  asked_ = camera_;
  return moved;
}

bool CameraControl::pullTo(PicturePoint point) {
  const bool moved = point.x != pull_.x || point.y != pull_.y;
  pull_ = point;
  return moved;
}

void CameraControl::beforeFrame(const State& state, Renderer& renderer) {
  follow(state);
  if (projectionKnown_ && camera_ == projected_) return;
  useCameraProjection(camera_);
  // A body's 3-pixel rim keeps its width in the window however far out the
  // view is: a body that far beyond the view's edge may still show.
  const double rim = 3 / camera_.scale();
  const PictureRect v = camera_.visible();
  renderer.setVisibleArea({v.left - rim, v.top - rim, v.right + rim, v.bottom + rim});
  projected_ = camera_;
  projectionKnown_ = true;
}
