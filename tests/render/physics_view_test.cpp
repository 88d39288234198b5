#include "render/physics_view.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "bodies/factories.h"
#include "fixtures/gl_feedback.h"
#include "fixtures/gl_window.h"
#include "fixtures/world_fixture.h"
#include "game/world_setup.h"
#include "state/state.h"

namespace {

struct Extent {  // left, top, right, bottom; feedback's y runs upward
  float e[4] = {1e9f, 1e9f, -1e9f, -1e9f};
  void add(const FedVertex& v) {
    e[0] = std::min(e[0], v.x), e[2] = std::max(e[2], v.x);
    e[1] = std::min(e[1], HEIGHT - v.y), e[3] = std::max(e[3], HEIGHT - v.y);
  }
  void expect(float left, float top, float right, float bottom) const {
    const float want[4] = {left, top, right, bottom};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(e[i], want[i], 1e-3) << "side " << i;
  }
};

bool coloured(const FedVertex& v, const b2Color& c) {
  return std::abs(v.r - c.r) < 1e-3f && std::abs(v.g - c.g) < 1e-3f && std::abs(v.b - c.b) < 1e-3f;
}

const b2Color kAwake(0.9f, 0.7f, 0.7f);  // Box2D's colour of an awake dynamic body

using PhysicsViewTest = GlWindowTest;

// A dynamic wheel of 0.8 m.
void wheelAt(b2World& world, float x, float y) {
  b2BodyDef def;
  def.type = b2_dynamicBody;
  def.position.Set(x, y);
  b2CircleShape wheel;
  wheel.m_radius = 0.8f;
  world.CreateBody(&def)->CreateFixture(&wheel, 1);
}

}  // namespace

// Box2D hands the adapter metres; the routines get the picture's pixels.
TEST_F(PhysicsViewTest, ShapesBoxesCentresAndContactsLandOnTheirPixels) {
  State state;
  createWorld(state);
  b2World& world = *state.world;
  boxAt(world, 10, 5);
  wheelAt(world, 40, 5);
  const auto draw = [&](const PixelMapping& m) {
    return feedback([&] { drawPhysicsView(world, m); });
  };
  Extent outline, boundingBox, axes, rim, moved;
  for (const FedPrimitive& p : draw({})) {
    ASSERT_FALSE(p.isPolygon()) << "outlines only: the body's own picture shows through";
    for (const FedVertex& v : p.vertices) {
      if (coloured(v, kAwake)) (v.x < 300 ? outline : rim).add(v);
      else if (coloured(v, b2Color(0.9f, 0.3f, 0.9f))) boundingBox.add(v);
      else if ((coloured(v, b2Color(1, 0, 0)) || coloured(v, b2Color(0, 1, 0))) && v.x < 300)
        axes.add(v);
    }
  }
  outline.expect(90, 40, 110, 60);
  rim.expect(392, 42, 408, 58);
  // The broad phase's box: the shape's skin of 0.01 m and a margin of 0.1 m.
  EXPECT_NEAR(boundingBox.e[0], 88.9, 1e-3);
  EXPECT_NEAR(boundingBox.e[3], 61.1, 1e-3);
  axes.expect(100, 50, 100 + PhysicsView::kAxisPixels, 50 + PhysicsView::kAxisPixels);
  // Another mapping moves all of it: twice the scale, from 5 m to the right.
  for (const FedPrimitive& p : draw({2 * M2P, b2Vec2(5, 0)}))
    for (const FedVertex& v : p.vertices)
      if (coloured(v, kAwake) && v.x < 300) moved.add(v);
  moved.expect(80, 80, 120, 120);

  // A box resting on a static one touches it at two points on y = 20 m.
  boxAt(world, 30, 21, b2_staticBody);
  b2Body* resting = boxAt(world, 30, 18.99f);
  for (int i = 0; i < 10; ++i) world.Step(1 / 60.0f, 8, 3);
  ASSERT_TRUE(resting->GetContactList()->contact->IsTouching());
  int points = 0;
  for (const FedPrimitive& p : draw({}))
    if (p.token == GL_POINT_TOKEN) {
      ++points;
      EXPECT_NEAR(HEIGHT - p.vertices[0].y, 200, 1);
      EXPECT_NEAR(p.vertices[0].x, 300, 11);
    }
  EXPECT_EQ(points, 2);
  // Points of one colour within a square of kPointSpacing pixels are drawn once;
  // another colour there, or a point further on, still shows.
  const auto fedPoints = [&](const std::vector<b2Vec2>& at, const b2Color& last) {
    PhysicsView view({});
    for (std::size_t i = 0; i < at.size(); ++i)
      view.DrawPoint(at[i], 5, i + 1 < at.size() ? b2Color(1, 0, 0) : last);
    return feedback([&] { view.flush(); }).size();
  };
  EXPECT_EQ(fedPoints({{10, 10}, {10.05f, 10}, {10.05f, 10}}, b2Color(1, 0, 0)), 1u);
  EXPECT_EQ(fedPoints({{10, 10}, {10.05f, 10}}, b2Color(0, 0, 1)), 2u);
  EXPECT_EQ(fedPoints({{10, 10}, {10.5f, 10}}, b2Color(1, 0, 0)), 2u);
  // Registered only while it draws: the world's own DebugDraw draws nothing after.
  EXPECT_TRUE(feedback([&] { world.DebugDraw(); }).empty());
}

// Fewer primitives for the same information: a static body has its outline
// only, the ground's columns make one line along their tops, each run at one
// height one segment, and a small wheel's rim takes 8 segments, its radius
// left to the centre's axis that covers it.
TEST_F(PhysicsViewTest, StaticBodiesColumnsAndSmallRimsTakeFewPrimitives) {
  State state;
  createWorld(state);
  // Columns of the ground, tops at y = 909.5 px, but for one a pixel higher at x = 100.
  for (int x = 0; x < 200; x += 5)
    state.columns.push_back({CreateGround(state, x, x == 100 ? 899 : 900, 10, 1), 0});
  b2World& world = *state.world;
  boxAt(world, 30, 21, b2_staticBody);
  wheelAt(world, 40, 5);
  int staticBox = 0, others = 0, rim = 0;
  std::vector<FedPrimitive> ground;
  for (const FedPrimitive& p : feedback([&] { drawPhysicsView(world, {}, &state.columns); })) {
    ASSERT_TRUE(p.isLine());
    const FedVertex& v = p.vertices[0];
    if (coloured(v, kAwake)) ++rim;
    else if (!coloured(v, b2Color(0.5f, 0.9f, 0.5f))) ++others;
    else if (HEIGHT - v.y > 800) ground.push_back(p);
    else ++staticBox;
  }
  // Left of the raised column, its step up, its top, its step down, and right of it.
  ASSERT_EQ(ground.size(), 5u) << "one segment a run of tops at one height, and the steps";
  const float tops[5][2] = {
      {909.5f, 909.5f}, {909.5f, 908.5f}, {908.5f, 908.5f}, {908.5f, 909.5f}, {909.5f, 909.5f}};
  for (int i = 0; i < 5; ++i)
    for (int end = 0; end < 2; ++end)
      EXPECT_NEAR(HEIGHT - ground[i].vertices[end].y, tops[i][end], 1e-3) << i << " " << end;
  // The runs reach from the first column's left side to the last one's right.
  EXPECT_NEAR(std::min(ground[0].vertices[0].x, ground[0].vertices[1].x), 5, 1e-3);
  EXPECT_NEAR(std::max(ground[4].vertices[0].x, ground[4].vertices[1].x), 210, 1e-3);
  EXPECT_EQ(staticBox, 4) << "the static box's outline alone";
  EXPECT_EQ(rim, 8) << "8 segments; the centre's x axis stands for the radius";
  EXPECT_EQ(others, 4 + 2) << "the wheel's bounding box and its centre's axes, nothing else";
}
