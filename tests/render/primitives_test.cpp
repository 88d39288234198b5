#include "render/primitives.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fixtures/gl_window.h"

namespace {

constexpr float kPi = 3.14159265f;
const Rgb kBackground = rgb(0.2f, 0.4f, 0.6f);

class Primitives : public GlWindowTest {
 protected:
  void SetUp() override {
    GlWindowTest::SetUp();
    clearTo(0.2f, 0.4f, 0.6f);
  }
  static bool within1(const Rgb& a, const Rgb& b) { return near(a, b); }
  static GLint modelViewDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
  }
};

#define EXPECT_PIXEL(x, y, want) \
  EXPECT_PRED2(within1, pixel(x, y), want) << "at (" << (x) << ", " << (y) << ")"

// A box of half-extents (hx, hy) m in body coordinates.
struct Box {
  b2Vec2 points[4];
  Box(float hx, float hy) : points{{-hx, -hy}, {hx, -hy}, {hx, hy}, {-hx, hy}} {}
};

}  // namespace

TEST_F(Primitives, SquareFillsInHalfColourWithAThreePixelRim) {
  const Box box(1, 1);  // 20 x 20 px around pixel (500, 200)
  drawSquare(box.points, b2Vec2(50, 20), 0, 1.0f, 0.0f, 0.3f);
  const Rgb fill = rgb(0.5f, 0.0f, 0.15f), rim = rgb(1.0f, 0.0f, 0.3f);
  EXPECT_PIXEL(500, 200, fill);
  EXPECT_PIXEL(494, 196, fill);
  EXPECT_PIXEL(506, 205, fill);
  // The outline straddles each edge: three pixels wide, two of them inside.
  for (int x : {489, 490, 509, 510}) EXPECT_PIXEL(x, 200, rim);
  for (int y : {189, 190, 209, 210}) EXPECT_PIXEL(500, y, rim);
  int rimWidth = 0;
  for (int x = 480; x < 500; ++x) rimWidth += near(pixel(x, 200), rim);
  EXPECT_EQ(rimWidth, 3);
  for (int x : {486, 514}) EXPECT_PIXEL(x, 200, kBackground);
  for (int y : {186, 214}) EXPECT_PIXEL(500, y, kBackground);
}

TEST_F(Primitives, BlackSquareIsSolidBlack) {
  const Box box(1, 1);
  drawSquare(box.points, b2Vec2(50, 20), 0, 0, 0, 0);
  for (int x : {490, 495, 500, 509}) EXPECT_PIXEL(x, 200, rgb(0, 0, 0));
}

TEST_F(Primitives, SquareTurnsWithTheBodyAngle) {
  // A 4 m x 1 m strip to the right of its centre; a quarter turn swings it
  // downward on the screen, as Box2D turns the body.
  const b2Vec2 strip[4] = {{0, 0}, {4, 0}, {4, 1}, {0, 1}};
  drawSquare(strip, b2Vec2(30, 30), kPi / 2, 0.8f, 0.8f, 0.0f);
  const Rgb fill = rgb(0.4f, 0.4f, 0.0f);
  EXPECT_PIXEL(295, 320, fill);  // x in [290, 300], y in [300, 340]
  EXPECT_PIXEL(295, 330, fill);
  EXPECT_PIXEL(320, 305, kBackground);  // where it lies unturned
  EXPECT_PIXEL(295, 280, kBackground);  // where a turn the other way puts it
  EXPECT_PIXEL(305, 330, kBackground);
}

TEST_F(Primitives, CircleShadesFromWhiteToItsRimColour) {
  drawCircle(b2Vec2(64, 47), 10, 0, 0.6f, 0.2f, 0.0f);  // 100 px around (640, 470)
  EXPECT_PRED3(GlWindowTest::near, pixel(640, 470), rgb(1, 1, 1), 3);
  // Halfway out, half white, half rim colour.
  EXPECT_PRED3(GlWindowTest::near, pixel(690, 470), rgb(0.8f, 0.6f, 0.5f), 3);
  EXPECT_PRED3(GlWindowTest::near, pixel(640, 568), rgb(0.6f, 0.2f, 0.0f), 6);
  EXPECT_PIXEL(640, 573, kBackground);
  EXPECT_PIXEL(743, 470, kBackground);
}

TEST_F(Primitives, SmallCircleIsCentredOnItsPixel) {
  drawCircle(b2Vec2(10, 20), 0.3f, 0, 1.0f, 0, 0);  // 3 px around (100, 200)
  const Rgb centre = pixel(100, 200);
  EXPECT_GT(centre.g, 150) << centre << ": near white at the centre";
  for (int d : {-2, 2}) {
    EXPECT_FALSE(pixel(100 + d, 200) == kBackground) << d;
    EXPECT_FALSE(pixel(100, 200 + d) == kBackground) << d;
  }
  for (int d : {-4, 4}) {
    EXPECT_PIXEL(100 + d, 200, kBackground);
    EXPECT_PIXEL(100, 200 + d, kBackground);
  }
}

TEST_F(Primitives, SolidPolygonLandsOnItsPixelsWithABlackOutline) {
  const b2Vec2 quad[4] = {{5, 7}, {45, 7}, {45, 37}, {5, 37}};
  DrawSolidPolygon(quad, 4, b2Color(1, 1, 0));
  const Rgb yellow = rgb(1, 1, 0), black = rgb(0, 0, 0);
  EXPECT_PIXEL(25, 22, yellow);
  EXPECT_PIXEL(9, 11, yellow);
  for (int x : {4, 5, 44, 45}) EXPECT_PIXEL(x, 22, black);
  for (int y : {6, 7, 36, 37}) EXPECT_PIXEL(25, y, black);
  EXPECT_PIXEL(2, 22, kBackground);
  EXPECT_PIXEL(25, 3, kBackground);
  EXPECT_PIXEL(48, 22, kBackground);
}

TEST_F(Primitives, SolidPolygonWithoutVerticesDrawsNothing) {
  const b2Vec2 quad[4] = {{5, 7}, {45, 7}, {45, 37}, {5, 37}};
  DrawSolidPolygon(quad, 0, b2Color(1, 1, 0));
  for (int x = 0; x < 50; x += 3)
    for (int y = 0; y < 40; y += 3) EXPECT_PIXEL(x, y, kBackground);
}

TEST_F(Primitives, SolidPolygonTakesAtMostEightVertices) {
  // Twelve points on a circle: the first eight are drawn and nothing overruns.
  b2Vec2 ring[12];
  for (int i = 0; i < 12; ++i)
    ring[i] = {300 + 50 * std::cos(i * kPi / 6), 300 + 50 * std::sin(i * kPi / 6)};
  DrawSolidPolygon(ring, 12, b2Color(0, 1, 0));
  EXPECT_PIXEL(300, 330, rgb(0, 1, 0));  // inside the first eight points
  EXPECT_PIXEL(325, 270, kBackground);   // only the last four would cover it
}

TEST_F(Primitives, LineIsOnePixelWide) {
  const b2Vec2 ends[2] = {{100, 500.5f}, {200, 500.5f}};
  drawLine(ends, b2Color(1, 0, 0));
  EXPECT_PIXEL(150, 500, rgb(1, 0, 0));
  EXPECT_PIXEL(150, 499, kBackground);
  EXPECT_PIXEL(150, 501, kBackground);
  EXPECT_PIXEL(210, 500, kBackground);
}

TEST_F(Primitives, LeaveTheMatrixStackAsFound) {
  const GLint depth = modelViewDepth();
  const Box box(1, 1);
  const b2Vec2 quad[4] = {{5, 7}, {45, 7}, {45, 37}, {5, 37}};
  drawSquare(box.points, b2Vec2(50, 20), 1, 1, 1, 1);
  drawCircle(b2Vec2(10, 20), 0.3f, 1, 1, 0, 0);
  DrawSolidPolygon(quad, 4, b2Color(1, 1, 0));
  drawLine(quad, b2Color(1, 1, 0));
  EXPECT_EQ(modelViewDepth(), depth);
  // Still identity: a later square lands where it should.
  clearTo(0.2f, 0.4f, 0.6f);
  drawSquare(box.points, b2Vec2(50, 20), 0, 1, 1, 1);
  EXPECT_PIXEL(500, 200, rgb(0.5f, 0.5f, 0.5f));
}

TEST_F(Primitives, DegreesAreComputedInDoublePrecision) {
  // In single precision angle * 180 loses a bit on about a quarter of all angles.
  int checked = 0;
  for (float a = -10; a < 10; a += 0.01f, ++checked)
    ASSERT_EQ(toDegrees(a), static_cast<float>(static_cast<double>(a) * 180 / 3.141592653589793))
        << a;
  EXPECT_EQ(toDegrees(3.14159265f / 2), 90.0f);
  EXPECT_GT(checked, 1000);
}
