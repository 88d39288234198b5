#include "render/camera.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void expectNear(ViewPoint a, ViewPoint b, double tolerance = 1e-9) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
}

}  // namespace

// The arithmetic under the wheel, the drag and Home; no window needed.
TEST(Camera, ZoomPanAndHomeKeepTheirPromises) {
  Camera camera;
  // The point under the pointer stays under it, notch after notch, and the
  // scale keeps to 1/8 ... 8 in steps of 1.25.
  const ViewPoint pointer{300, 700};
  const ViewPoint under = camera.toPicture(pointer);
  for (int notch = 0; notch < 12; ++notch) {
    const double before = camera.scale();
    camera.zoomAbout(1, pointer);
    expectNear(camera.toPicture(pointer), under, 1e-6);
    if (before * 1.25 <= Camera::kMaxScale) {
      EXPECT_NEAR(camera.scale(), before * 1.25, 1e-9);
    }
  }
  EXPECT_EQ(camera.scale(), Camera::kMaxScale);
  for (int notch = 0; notch < 30; ++notch) camera.zoomAbout(-1, {1000, 100});
  EXPECT_EQ(camera.scale(), Camera::kMinScale);

  // Steps in and back out about one point: the game's own view, exactly.
  Camera round;
  for (int i = 0; i < 5; ++i) round.zoomAbout(1, {417, 233});
  for (int i = 0; i < 5; ++i) round.zoomAbout(-1, {417, 233});
  EXPECT_TRUE(round.identity()) << round.scale() << " at " << round.origin().x << ", "
                                << round.origin().y;

  // A pan moves the picture by the pointer's motion divided by the scale.
  for (int steps : {-6, -1, 0, 3, 9}) {
    Camera c;
    c.zoomAbout(steps, {640, 470});
    const ViewPoint origin = c.origin();
    c.pan(60, -90);
    expectNear(c.origin(), {origin.x - 60 / c.scale(), origin.y + 90 / c.scale()}, 1e-6);
  }

  // Picture and view coordinates invert each other at several scales and offsets.
  for (int steps : {-9, -4, 1, 10})
    for (const ViewPoint& drag : {ViewPoint{0, 0}, ViewPoint{-500, 250}, ViewPoint{3000, -2000}}) {
      SCOPED_TRACE(std::to_string(steps) + " steps");
      Camera c;
      c.zoomAbout(steps, {100, 800});
      c.pan(drag.x, drag.y);
      for (const ViewPoint& p : {ViewPoint{0, 0}, ViewPoint{1280, 940}, ViewPoint{-7.5, 12345}}) {
        expectNear(c.toPicture(c.toView(p)), p, 1e-6);
        expectNear(c.toView(c.toPicture(p)), p, 1e-6);
      }
    }

  // Home gives the identity back from anywhere.
  camera.pan(123, -45);
  camera.home();
  EXPECT_TRUE(camera.identity());
}

// The follow's target with the car hanging: both in sight, zoomed out as far
// as that needs and never in beyond the user's own scale; and easing gets there.
TEST(Camera, FollowKeepsTheShipAndTheHangingCarInSight) {
  const PictureRect shipAndCar{900, 50, 1400, 2200};  // a car hanging far below
  const Shot shot = frameArea(shipAndCar, 40, 4);
  EXPECT_NEAR(shot.centre.x, 1150, 1e-9);
  EXPECT_NEAR(shot.centre.y, 1125, 1e-9);
  EXPECT_NEAR(shot.scale, (940 - 80) / 2150.0, 1e-9);
  EXPECT_EQ(frameArea({600, 400, 700, 500}, 40, 2).scale, 2) << "room enough: the user's scale";
  EXPECT_EQ(frameArea({0, 0, 1e6, 10}, 40, 1).scale, Camera::kMinScale);

  Camera camera;
  camera.zoomAbout(4, {640, 470});
  for (int frame = 0; frame < 200; ++frame) camera.easeToward(shot.centre, shot.scale, 0.1);
  const PictureRect v = camera.visible();
  EXPECT_LE(v.left, shipAndCar.left);
  EXPECT_LE(v.top, shipAndCar.top);
  EXPECT_GE(v.right, shipAndCar.right);
  EXPECT_GE(v.bottom, shipAndCar.bottom);
  expectNear(camera.toPicture({640, 470}), shot.centre, 1e-3);
}
