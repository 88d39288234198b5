#include "render/camera.h"

#include <algorithm>
#include <cmath>

#include "base/units.h"

namespace {

// How far beyond the game's window the view's centre may go, in windows: the
// farthest removal limit is three window heights off, and a pointer recorded
// there stays well inside what a recording holds.
constexpr double kReach = 8;

}  // namespace

ViewPoint Camera::toPicture(ViewPoint view) const {
  return {view.x / scale_ + origin_.x, view.y / scale_ + origin_.y};
}

ViewPoint Camera::toView(ViewPoint picture) const {
  return {(picture.x - origin_.x) * scale_, (picture.y - origin_.y) * scale_};
}

PictureRect Camera::visible() const {
  const ViewPoint a = toPicture({0, 0}), b = toPicture({WIDTH, HEIGHT});
  return {a.x, a.y, b.x, b.y};
}

void Camera::zoomAbout(int steps, ViewPoint view) {
  setScaleAbout(scale_ * std::pow(kZoomStep, steps), view);
}

void Camera::setScaleAbout(double scale, ViewPoint view) {
  const ViewPoint fixed = toPicture(view);
  scale_ = std::clamp(scale, kMinScale, kMaxScale);
  // Back at the game's scale after steps in and out: exactly, so that the
  // picture can be pixel for pixel the game's again.
  if (std::abs(scale_ - 1) < 1e-9) scale_ = 1;
  origin_ = {fixed.x - view.x / scale_, fixed.y - view.y / scale_};
  keepNearTheWorld();
}

void Camera::pan(double dx, double dy) {
  origin_.x -= dx / scale_;
  origin_.y -= dy / scale_;
  keepNearTheWorld();
}

void Camera::easeToward(ViewPoint centre, double scale, double fraction) {
  const ViewPoint now = toPicture({WIDTH / 2.0, HEIGHT / 2.0});
  scale_ = std::clamp(scale_ * std::pow(scale / scale_, fraction), kMinScale, kMaxScale);
  const ViewPoint at{now.x + (centre.x - now.x) * fraction, now.y + (centre.y - now.y) * fraction};
  origin_ = {at.x - WIDTH / 2.0 / scale_, at.y - HEIGHT / 2.0 / scale_};
  keepNearTheWorld();
}

void Camera::keepNearTheWorld() {
  const double halfWidth = WIDTH / 2.0 / scale_, halfHeight = HEIGHT / 2.0 / scale_;
  auto keep = [](double& origin, double half, double size) {
    const double centre = origin + half;
    if (centre < -kReach * size) origin = -kReach * size - half;
    if (centre > (kReach + 1) * size) origin = (kReach + 1) * size - half;
  };
  keep(origin_.x, halfWidth, WIDTH);
  keep(origin_.y, halfHeight, HEIGHT);
  // Rounding leaves a trace of a pixel where a pan or zoom came back to the start.
  if (std::abs(origin_.x) < 1e-9) origin_.x = 0;
  if (std::abs(origin_.y) < 1e-9) origin_.y = 0;
}

Shot frameArea(const PictureRect& area, double margin, double scale) {
  const ViewPoint centre{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
  const double width = std::max(WIDTH - 2 * margin, 1.0),
               height = std::max(HEIGHT - 2 * margin, 1.0);
  const double fit = std::min(width / std::max(area.right - area.left, 1e-9),
                              height / std::max(area.bottom - area.top, 1e-9));
  return {centre, std::clamp(std::min(scale, fit), Camera::kMinScale, Camera::kMaxScale)};
}
