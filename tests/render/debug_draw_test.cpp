#include "render/debug_draw.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "fixtures/gl_feedback.h"
#include "fixtures/gl_window.h"
#include "state/state.h"

namespace {

// Where a pixel-projection point lands in feedback's window coordinates.
void expectAt(const FedVertex& v, float x, float y, float tolerance = 1e-3f) {
  EXPECT_NEAR(v.x, x, tolerance);
  EXPECT_NEAR(v.y, HEIGHT - y, tolerance);
}

void expectColour(const FedVertex& v, float r, float g, float b, float a) {
  EXPECT_NEAR(v.r, r, 1e-3);
  EXPECT_NEAR(v.g, g, 1e-3);
  EXPECT_NEAR(v.b, b, 1e-3);
  EXPECT_NEAR(v.a, a, 1e-3);
}

std::vector<float> currentColour() {
  std::vector<float> c(4);
  glGetFloatv(GL_CURRENT_COLOR, c.data());
  return c;
}

// The four corners of a square whose edges run through pixel centres.
const b2Vec2 kSquare[4] = {{100.5f, 100.5f}, {200.5f, 100.5f}, {200.5f, 200.5f}, {100.5f, 200.5f}};
const b2Color kOrange(1.0f, 0.8f, 0.4f);

}  // namespace

class DebugDrawTest : public GlWindowTest {
 protected:
  // Half the colour at alpha 0.5 over the background.
  static Rgb translucentOver(const b2Color& c, float r, float g, float b) {
    return rgb(0.25f * c.r + 0.5f * r, 0.25f * c.g + 0.5f * g, 0.25f * c.b + 0.5f * b);
  }
};

TEST_F(DebugDrawTest, PolygonIsAnOutlineThroughItsVertices) {
  DrawPolygonDebugDraw(kSquare, 4, kOrange);
  const Rgb orange = rgb(1.0f, 0.8f, 0.4f);
  EXPECT_EQ(pixel(150, 100), orange);
  EXPECT_EQ(pixel(200, 150), orange);
  EXPECT_EQ(pixel(150, 200), orange);
  EXPECT_EQ(pixel(100, 150), orange);
  EXPECT_EQ(pixel(150, 150), (Rgb{0, 0, 0})) << "an outline, not a fill";

  const auto prims = feedback([] { DrawPolygonDebugDraw(kSquare, 4, kOrange); });
  ASSERT_EQ(prims.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(prims[i].isLine());
    expectAt(prims[i].vertices[0], kSquare[i].x, kSquare[i].y);
    expectAt(prims[i].vertices[1], kSquare[(i + 1) % 4].x, kSquare[(i + 1) % 4].y);
  }
}

TEST_F(DebugDrawTest, SolidPolygonBlendsAHalfColourFillUnderAnOpaqueOutline) {
  clearTo(0.0f, 0.2f, 0.4f);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ZERO);
  DrawSolidPolygonDebugDraw(kSquare, 4, kOrange);

  EXPECT_TRUE(near(pixel(150, 150), translucentOver(kOrange, 0.0f, 0.2f, 0.4f), 2))
      << pixel(150, 150);
  EXPECT_TRUE(near(pixel(120, 180), translucentOver(kOrange, 0.0f, 0.2f, 0.4f), 2));
  const Rgb orange = rgb(1.0f, 0.8f, 0.4f);
  EXPECT_EQ(pixel(150, 100), orange);
  EXPECT_EQ(pixel(200, 150), orange);
  EXPECT_EQ(pixel(100, 150), orange);
  EXPECT_EQ(pixel(150, 95), rgb(0.0f, 0.2f, 0.4f)) << "nothing outside the polygon";

  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_EQ(currentColour(), (std::vector<float>{1.0f, 0.8f, 0.4f, 1.0f}));

  const auto prims = feedback([] { DrawSolidPolygonDebugDraw(kSquare, 4, kOrange); });
  ASSERT_EQ(prims.size(), 2u + 4u) << "a fan of two triangles, then a loop of four lines";
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(prims[i].isPolygon());
    ASSERT_EQ(prims[i].vertices.size(), 3u);
    for (const FedVertex& v : prims[i].vertices) expectColour(v, 0.5f, 0.4f, 0.2f, 0.5f);
  }
  for (int i = 2; i < 6; ++i) {
    ASSERT_TRUE(prims[i].isLine());
    expectColour(prims[i].vertices[0], 1.0f, 0.8f, 0.4f, 1.0f);
  }
}

TEST_F(DebugDrawTest, PolygonsWithoutVerticesDrawNothing) {
  DrawPolygonDebugDraw(nullptr, 0, kOrange);
  DrawSolidPolygonDebugDraw(nullptr, 0, kOrange);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  EXPECT_TRUE(feedback([] {
                DrawPolygonDebugDraw(nullptr, 0, kOrange);
                DrawSolidPolygonDebugDraw(nullptr, 0, kOrange);
              }).empty());
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(DebugDrawTest, CircleIsASixteenSidedOutline) {
  const b2Vec2 centre(400.5f, 400.5f);
  DrawCircleDebugDraw(centre, 50, b2Color(0, 1, 1));
  EXPECT_EQ(pixel(450, 400), rgb(0, 1, 1)) << "rim at theta 0";
  EXPECT_EQ(pixel(400, 450), rgb(0, 1, 1)) << "rim at a quarter turn (y downward)";
  EXPECT_EQ(pixel(400, 400), (Rgb{0, 0, 0})) << "not filled";

  const auto prims = feedback([&] { DrawCircleDebugDraw(centre, 50, b2Color(0, 1, 1)); });
  ASSERT_EQ(prims.size(), 16u);
  for (int k = 0; k < 16; ++k) {
    ASSERT_TRUE(prims[k].isLine());
    const double theta = k * 2 * M_PI / 16;
    expectAt(prims[k].vertices[0], static_cast<float>(400.5 + 50 * std::cos(theta)),
             static_cast<float>(400.5 + 50 * std::sin(theta)), 1e-2f);
  }
}

TEST_F(DebugDrawTest, CircleOfRadiusZeroCollapsesOntoItsCentre) {
  const b2Vec2 centre(300.5f, 250.5f);
  DrawCircleDebugDraw(centre, 0, b2Color(1, 1, 1));
  int lit = 0;
  for (int y = 240; y <= 260; ++y)
    for (int x = 290; x <= 310; ++x)
      if (!(pixel(x, y) == Rgb{0, 0, 0})) {
        ++lit;
        EXPECT_TRUE(x == 300 && y == 250) << "lit pixel away from the centre: " << x << ", " << y;
      }
  EXPECT_LE(lit, 1);

  const auto prims = feedback([&] { DrawCircleDebugDraw(centre, 0, b2Color(1, 1, 1)); });
  ASSERT_EQ(prims.size(), 16u);
  for (const FedPrimitive& p : prims)
    for (const FedVertex& v : p.vertices) expectAt(v, 300.5f, 250.5f);
}

TEST_F(DebugDrawTest, SolidCircleHasATranslucentDiscAnOutlineAndARadius) {
  const b2Vec2 centre(400.5f, 400.5f);
  const b2Color c(0.2f, 1.0f, 0.6f);
  glEnable(GL_BLEND);
  DrawSolidCircleDebugDraw(centre, 50, b2Vec2(1, 0), c);

  EXPECT_TRUE(near(pixel(400, 425), translucentOver(c, 0, 0, 0), 2)) << pixel(400, 425);
  EXPECT_EQ(pixel(425, 400), rgb(0.2f, 1.0f, 0.6f)) << "the radius towards the axis";
  EXPECT_EQ(pixel(375, 400), translucentOver(c, 0, 0, 0)) << "no radius on the other side";
  EXPECT_EQ(pixel(400, 450), rgb(0.2f, 1.0f, 0.6f)) << "the opaque rim";
  EXPECT_FALSE(glIsEnabled(GL_BLEND));

  const auto prims = feedback([&] { DrawSolidCircleDebugDraw(centre, 50, b2Vec2(1, 0), c); });
  ASSERT_EQ(prims.size(), 14u + 16u + 1u) << "fan of 14 triangles, 16 rim lines, one radius";
  for (int i = 0; i < 14; ++i) {
    ASSERT_TRUE(prims[i].isPolygon());
    for (const FedVertex& v : prims[i].vertices) {
      EXPECT_NEAR(std::hypot(v.x - 400.5f, v.y - (HEIGHT - 400.5f)), 50, 1e-2)
          << "every fan vertex is on the rim; the hub is the first rim vertex";
      expectColour(v, 0.1f, 0.5f, 0.3f, 0.5f);
    }
  }
  for (int i = 14; i < 30; ++i) ASSERT_TRUE(prims[i].isLine());
  const FedPrimitive& radius = prims[30];
  ASSERT_TRUE(radius.isLine());
  expectAt(radius.vertices[0], 400.5f, 400.5f);
  expectAt(radius.vertices[1], 450.5f, 400.5f);
  expectColour(radius.vertices[1], 0.2f, 1.0f, 0.6f, 1.0f);
}

TEST_F(DebugDrawTest, SegmentJoinsItsEnds) {
  DrawSegmentDebugDraw(b2Vec2(10.5f, 20.5f), b2Vec2(110.5f, 20.5f), b2Color(1, 0, 1));
  EXPECT_EQ(pixel(60, 20), rgb(1, 0, 1));
  EXPECT_EQ(pixel(60, 21), (Rgb{0, 0, 0}));
  EXPECT_EQ(pixel(115, 20), (Rgb{0, 0, 0}));
}

TEST_F(DebugDrawTest, TransformDrawsRedXAndGreenYAxes) {
  // The axes are 0.4 units long: magnify so that they cover pixels.
  glTranslatef(300.5f, 300.5f, 0);
  glScalef(100, 100, 1);
  DrawTransformDebugDraw(b2Transform(b2Vec2(0, 0), b2Rot(0)));
  glLoadIdentity();
  EXPECT_EQ(pixel(320, 300), rgb(1, 0, 0)) << "x axis to the right";
  EXPECT_EQ(pixel(300, 320), rgb(0, 1, 0)) << "y axis downward";
  EXPECT_EQ(pixel(345, 300), (Rgb{0, 0, 0})) << "x axis is 0.4 long";
  EXPECT_EQ(pixel(280, 300), (Rgb{0, 0, 0}));
  EXPECT_EQ(currentColour(), (std::vector<float>{0, 1, 0, 1}));

  // A quarter turn carries x onto y and y onto -x.
  clearTo(0, 0, 0);
  glTranslatef(600.5f, 300.5f, 0);
  glScalef(100, 100, 1);
  DrawTransformDebugDraw(b2Transform(b2Vec2(0, 0), b2Rot(b2_pi / 2)));
  glLoadIdentity();
  EXPECT_EQ(pixel(600, 320), rgb(1, 0, 0));
  EXPECT_EQ(pixel(580, 300), rgb(0, 1, 0));
  EXPECT_EQ(pixel(620, 300), (Rgb{0, 0, 0}));

  const auto prims =
      feedback([] { DrawTransformDebugDraw(b2Transform(b2Vec2(50.5f, 60.5f), b2Rot(0))); });
  ASSERT_EQ(prims.size(), 2u);
  expectAt(prims[0].vertices[0], 50.5f, 60.5f);
  expectAt(prims[0].vertices[1], 50.9f, 60.5f);
  expectAt(prims[1].vertices[1], 50.5f, 60.9f);
}

TEST_F(DebugDrawTest, PointHasItsSizeAndRestoresSizeOne) {
  glPointSize(7);
  DrawPointDebugDraw(b2Vec2(500.5f, 500.5f), 5, b2Color(1, 1, 0));
  GLfloat size = 0;
  glGetFloatv(GL_POINT_SIZE, &size);
  EXPECT_EQ(size, 1.0f);
  for (int d = -2; d <= 2; ++d) {
    EXPECT_EQ(pixel(500 + d, 500), rgb(1, 1, 0)) << d;
    EXPECT_EQ(pixel(500, 500 + d), rgb(1, 1, 0)) << d;
  }
  EXPECT_EQ(pixel(503, 500), (Rgb{0, 0, 0}));
  EXPECT_EQ(pixel(497, 500), (Rgb{0, 0, 0}));

  glBegin(GL_POINTS);
  glVertex2f(600.5f, 500.5f);
  glEnd();
  EXPECT_EQ(pixel(600, 500), rgb(1, 1, 0));
  EXPECT_EQ(pixel(601, 500), (Rgb{0, 0, 0})) << "a later point is one pixel";
}

TEST_F(DebugDrawTest, AABBOutlinesItsBox) {
  b2AABB box;
  box.lowerBound.Set(700.5f, 100.5f);
  box.upperBound.Set(800.5f, 150.5f);
  DrawAABBDebugDraw(&box, b2Color(0.4f, 0.4f, 1.0f));
  const Rgb blue = rgb(0.4f, 0.4f, 1.0f);
  EXPECT_EQ(pixel(750, 100), blue);
  EXPECT_EQ(pixel(800, 125), blue);
  EXPECT_EQ(pixel(750, 150), blue);
  EXPECT_EQ(pixel(700, 125), blue);
  EXPECT_EQ(pixel(750, 125), (Rgb{0, 0, 0}));

  const auto prims = feedback([&] { DrawAABBDebugDraw(&box, b2Color(0.4f, 0.4f, 1.0f)); });
  ASSERT_EQ(prims.size(), 4u);
  const b2Vec2 corners[4] = {
      {700.5f, 100.5f}, {800.5f, 100.5f}, {800.5f, 150.5f}, {700.5f, 150.5f}};
  for (int i = 0; i < 4; ++i) expectAt(prims[i].vertices[0], corners[i].x, corners[i].y);
}
