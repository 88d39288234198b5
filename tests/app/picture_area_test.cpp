#include "app/picture_area.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>

static bool operator==(const PictureArea& a, const PictureArea& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}
static std::ostream& operator<<(std::ostream& os, const PictureArea& a) {
  return os << a.width << " x " << a.height << " at (" << a.x << ", " << a.y << ")";
}

// 80 px of the height stay free for a panel and a title bar; the window keeps
// the picture's proportions, and the picture fills it.
TEST(PictureArea, WindowFitsEachDesktopWithThePicturesProportions) {
  const struct {
    int desktopWidth, desktopHeight, width, height;
  } cases[] = {
      {1600, 1200, 1280, 940}, {1920, 1080, 1280, 940}, {1280, 1024, 1280, 940},
      {1366, 768, 937, 688},   {1024, 768, 937, 688},   {800, 600, 708, 520},
      {1024, 1200, 1024, 752}, {0, 0, 1280, 940},  // a desktop of unknown size
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.desktopWidth) + " x " + std::to_string(c.desktopHeight));
    const WindowSize w = windowFor(c.desktopWidth, c.desktopHeight);
    EXPECT_EQ(w.width, c.width);
    EXPECT_EQ(w.height, c.height);
    EXPECT_EQ(fitPicture(w.width, w.height), (PictureArea{0, 0, w.width, w.height}));
  }
}

TEST(PictureArea, FullScreenCentresThePictureOnItsBorder) {
  EXPECT_EQ(fitPicture(1280, 940), (PictureArea{0, 0, 1280, 940}));
  EXPECT_EQ(fitPicture(1024, 768), (PictureArea{0, 8, 1024, 752}));
  EXPECT_EQ(fitPicture(1920, 1080), (PictureArea{224, 0, 1471, 1080}));
  EXPECT_EQ(fitPicture(2560, 1880), (PictureArea{0, 0, 2560, 1880}));
}

TEST(PictureArea, PointerMapsBackToThePicturesPixels) {
  // Unscaled, one to one.
  const PictureArea same{0, 0, 1280, 940};
  for (int x = 0; x < 1280; x += 7)
    for (int y = 0; y < 940; y += 11) {
      const PicturePoint p = pictureFromWindow(same, x, y);
      ASSERT_EQ(p.x, x);
      ASSERT_EQ(p.y, y);
    }
  // A window of 937 x 688: its corners and the ship's centre (150, 840).
  const PictureArea small{0, 0, 937, 688};
  EXPECT_EQ(pictureFromWindow(small, 0, 0).x, 0);
  EXPECT_EQ(pictureFromWindow(small, 936, 687).x, 1279);
  EXPECT_EQ(pictureFromWindow(small, 936, 687).y, 939);
  const PicturePoint ship = pictureFromWindow(small, 150 * 937 / 1280, 840 * 688 / 940);
  EXPECT_LE(std::abs(ship.x - 150), 1);
  EXPECT_LE(std::abs(ship.y - 840), 1);
  // The full screen of 1024 x 768, and its black border, which maps to the edge.
  const PictureArea full{0, 8, 1024, 752};
  EXPECT_EQ(pictureFromWindow(full, 512, 384).x, 640);
  EXPECT_EQ(pictureFromWindow(full, 512, 384).y, 470);
  EXPECT_EQ(pictureFromWindow(full, 100, 3).y, 0);
  EXPECT_EQ(pictureFromWindow(full, 100, 765).y, 939);
}
