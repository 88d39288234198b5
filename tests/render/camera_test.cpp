#include "render/camera.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void expectNear(ViewPoint a, ViewPoint b, double tolerance = 1e-6) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
}

}  // namespace

// The arithmetic under the wheel, the drag and Home; no window needed.
TEST(Camera, ZoomPanAndHomeKeepTheirPromises) {
  // The point under the pointer stays under it, and the scale keeps to 1/8 ... 8.
  Camera camera;
  const ViewPoint pointer{300, 700};
  const ViewPoint under = camera.toPicture(pointer);
  for (int notch = 0; notch < 12; ++notch) {
    camera.zoomAbout(1, pointer);
    expectNear(camera.toPicture(pointer), under);
  }
  EXPECT_EQ(camera.scale(), Camera::kMaxScale);
  for (int notch = 0; notch < 30; ++notch) camera.zoomAbout(-1, {1000, 100});
  EXPECT_EQ(camera.scale(), Camera::kMinScale);
  camera.pan(123, -45);
  camera.home();
  EXPECT_TRUE(camera.identity());

  // Steps in and back out about one point: the game's own view, exactly.
  Camera round;
  for (int i = 0; i < 5; ++i) round.zoomAbout(1, {417, 233});
  for (int i = 0; i < 5; ++i) round.zoomAbout(-1, {417, 233});
  EXPECT_TRUE(round.identity()) << round.scale() << " at " << round.origin().x << ", "
                                << round.origin().y;

  // A pan moves the picture by the pointer's motion over the scale; picture and
  // view coordinates invert each other at any scale and offset.
  for (int steps : {-9, -1, 3, 10}) {
    SCOPED_TRACE(std::to_string(steps) + " steps");
    Camera c;
    c.zoomAbout(steps, {100, 800});
    const ViewPoint origin = c.origin();
    c.pan(-500, 250);
    expectNear(c.origin(), {origin.x + 500 / c.scale(), origin.y - 250 / c.scale()});
    for (const ViewPoint& p : {ViewPoint{0, 0}, ViewPoint{1280, 940}, ViewPoint{-7.5, 12345}}) {
      expectNear(c.toPicture(c.toView(p)), p);
      expectNear(c.toView(c.toPicture(p)), p);
    }
  }
}

// The follow's target with the car hanging: both in sight, zoomed out as far
// as that needs and never in beyond the user's own scale; and easing gets there.
TEST(Camera, FollowKeepsTheShipAndTheHangingCarInSight) {
  const PictureRect shipAndCar{900, 50, 1400, 2200};  // a car hanging far below
  const Shot shot = frameArea(shipAndCar, 40, 4);
  expectNear(shot.centre, {1150, 1125}, 1e-9);
  EXPECT_NEAR(shot.scale, (940 - 80) / 2150.0, 1e-9);
  EXPECT_EQ(frameArea({600, 400, 700, 500}, 40, 2).scale, 2) << "room enough: the user's scale";
  EXPECT_EQ(frameArea({0, 0, 1e6, 10}, 40, 1).scale, Camera::kMinScale);

  Camera camera;
  camera.zoomAbout(4, {640, 470});
  for (int frame = 0; frame < 200; ++frame) camera.easeToward(shot.centre, shot.scale, 0.1);
  const PictureRect v = camera.visible();
  EXPECT_TRUE(v.left <= 900 && v.top <= 50 && v.right >= 1400 && v.bottom >= 2200);
  expectNear(camera.toPicture({640, 470}), shot.centre, 1e-3);
}
