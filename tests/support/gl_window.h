#pragma once
// The test process's one SDL OpenGL window (1280 x 940, opened once, under Xvfb),
// with the window-pixel projection; pixels are read back from the back buffer.

#include <GL/gl.h>
#include <gtest/gtest.h>

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
std::ostream& operator<<(std::ostream& os, const Rgb& c);

// A colour component 0 ... 1 as the 8-bit value the framebuffer stores.
int toByte(float component);
Rgb rgb(float r, float g, float b);

class GlWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  // Pixel projection, identity model-view, cleared to the given colour.
  void SetUp() override;

  void clearTo(float r, float g, float b);
  // The colour at window pixel (x, y), y downward, from the back buffer.
  Rgb pixel(int x, int y) const;
  // Whether the pixel is within one step of the expected colour per channel.
  static bool near(const Rgb& a, const Rgb& b, int tolerance = 1);
};
