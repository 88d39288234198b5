#pragma once
// The view over the game's picture: a scale and an offset applied when a frame
// is drawn, and never to the game itself. Two kinds of points, both in pixels
// of the 1280 x 940 picture, y downward:
//  - a picture point is where the game has something: what the controls, the
//    mouse drag and a recording take;
//  - a view point is where that shows in the window's picture.
//   view = (picture - origin) * scale
// No OpenGL here: useCameraProjection (render/projection.h) applies it.

struct ViewPoint {
  double x, y;
};

// A rectangle of picture points.
struct PictureRect {
  double left, top, right, bottom;
};

class Camera {
 public:
  static constexpr double kMinScale = 1.0 / 8, kMaxScale = 8;
  static constexpr double kZoomStep = 1.25;  // one wheel notch, one + or -

  double scale() const { return scale_; }
  ViewPoint origin() const { return origin_; }  // the picture point at the view's top-left corner
  // The game's own view, pixel for pixel.
  bool identity() const { return scale_ == 1 && origin_.x == 0 && origin_.y == 0; }

  ViewPoint toPicture(ViewPoint view) const;
  ViewPoint toView(ViewPoint picture) const;
  PictureRect visible() const;  // the picture points that the view shows

  // `steps` zoom steps in (negative: out), about a view point that stays put;
  // the scale keeps within kMinScale ... kMaxScale.
  void zoomAbout(int steps, ViewPoint view);
  // The picture follows the pointer, as a map does: moved by a view distance.
  void pan(double dx, double dy);
  void home() { *this = Camera(); }

  // Moves a fraction of the way (0 ... 1) toward showing `centre` in the
  // middle of the view at `scale`: the scale eases in proportion, so that a
  // zoom by a factor takes as long either way.
  void easeToward(ViewPoint centre, double scale, double fraction);

  bool operator==(const Camera& o) const {
    return scale_ == o.scale_ && origin_.x == o.origin_.x && origin_.y == o.origin_.y;
  }
  bool operator!=(const Camera& o) const { return !(*this == o); }

 private:
  void setScaleAbout(double scale, ViewPoint view);
  void keepNearTheWorld();

  double scale_ = 1;
  ViewPoint origin_{0, 0};
};

// Where a view keeps every point of `area` in sight with `margin` view pixels
// around it: its centre, and a scale no larger than `scale` (zoomed out as far
// as needed, to kMinScale at most).
struct Shot {
  ViewPoint centre;
  double scale;
};
Shot frameArea(const PictureRect& area, double margin, double scale);
