#include "render/physics_view.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "fixtures/gl_feedback.h"
#include "fixtures/gl_window.h"
#include "fixtures/world_fixture.h"
#include "game/world_setup.h"
#include "state/state.h"

namespace {

struct Extent {
  float left = 1e9f, top = 1e9f, right = -1e9f, bottom = -1e9f;
  void add(const FedVertex& v) {  // feedback's y runs upward
    left = std::min(left, v.x), right = std::max(right, v.x);
    top = std::min(top, HEIGHT - v.y), bottom = std::max(bottom, HEIGHT - v.y);
  }
};

const b2Color kAwake(0.9f, 0.7f, 0.7f);  // Box2D's colour of an awake dynamic body

bool coloured(const FedVertex& v, const b2Color& c) {
  return std::abs(v.r - c.r) < 1e-3f && std::abs(v.g - c.g) < 1e-3f && std::abs(v.b - c.b) < 1e-3f;
}

}  // namespace

class PhysicsViewTest : public GlWindowTest {
 protected:
  PhysicsViewTest() { createWorld(state); }

  b2Body* box(float x, float y, b2BodyType type = b2_dynamicBody) {
    return boxAt(*state.world, x, y, type);
  }

  std::vector<FedPrimitive> draw(const PixelMapping& mapping = {}) {
    return feedback([&] { drawPhysicsView(*state.world, mapping); });
  }

  State state;
};

// Box2D hands the adapter metres; the routines get the picture's pixels.
TEST_F(PhysicsViewTest, ShapesBoxesCentresAndContactsLandOnTheirPixels) {
  box(10, 5);
  b2BodyDef wheelDef;
  wheelDef.type = b2_dynamicBody;
  wheelDef.position.Set(40, 5);
  b2CircleShape wheel;
  wheel.m_radius = 0.8f;
  state.world->CreateBody(&wheelDef)->CreateFixture(&wheel, 1);
  const std::vector<FedPrimitive> drawn = draw();
  Extent outline, boundingBox, axes, rim;
  for (const FedPrimitive& p : drawn) {
    ASSERT_FALSE(p.isPolygon()) << "outlines only: the body's own picture shows through";
    for (const FedVertex& v : p.vertices) {
      if (coloured(v, kAwake)) (v.x < 300 ? outline : rim).add(v);
      else if (coloured(v, b2Color(0.9f, 0.3f, 0.9f))) boundingBox.add(v);
      else if ((coloured(v, b2Color(1, 0, 0)) || coloured(v, b2Color(0, 1, 0))) && v.x < 300)
        axes.add(v);
    }
  }
  EXPECT_FLOAT_EQ(outline.left, 90);
  EXPECT_FLOAT_EQ(outline.right, 110);
  EXPECT_FLOAT_EQ(outline.top, 40);
  EXPECT_FLOAT_EQ(outline.bottom, 60);
  EXPECT_NEAR(rim.left, 392, 1e-3);
  EXPECT_NEAR(rim.right, 408, 1e-3);
  EXPECT_NEAR(rim.bottom, 58, 1e-3);
  // The broad phase's box: the shape's skin of 0.01 m and a margin of 0.1 m.
  EXPECT_NEAR(boundingBox.left, 88.9, 1e-3);
  EXPECT_NEAR(boundingBox.bottom, 61.1, 1e-3);
  // The box's centre of mass: its axes from (100, 50), 8 pixels along x and y.
  EXPECT_FLOAT_EQ(axes.left, 100);
  EXPECT_FLOAT_EQ(axes.top, 50);
  EXPECT_NEAR(axes.right, 100 + PhysicsView::kAxisPixels, 1e-3);
  EXPECT_NEAR(axes.bottom, 50 + PhysicsView::kAxisPixels, 1e-3);

  // Another mapping moves all of it: twice the scale, from 5 m to the right.
  Extent moved;
  for (const FedPrimitive& p : draw({2 * M2P, b2Vec2(5, 0)}))
    for (const FedVertex& v : p.vertices)
      if (coloured(v, kAwake) && v.x < 300) moved.add(v);
  EXPECT_FLOAT_EQ(moved.left, 80);
  EXPECT_FLOAT_EQ(moved.right, 120);
  EXPECT_FLOAT_EQ(moved.top, 80);

  // A box resting on a static one touches it at two points on y = 20 m.
  box(30, 21, b2_staticBody);
  b2Body* resting = box(30, 18.99f);
  for (int i = 0; i < 10; ++i) state.world->Step(1 / 60.0f, 8, 3);
  ASSERT_TRUE(resting->GetContactList()->contact->IsTouching());
  std::vector<FedVertex> points;
  for (const FedPrimitive& p : draw())
    if (p.token == GL_POINT_TOKEN) points.push_back(p.vertices[0]);
  ASSERT_EQ(points.size(), 2u);
  for (const FedVertex& v : points) {
    EXPECT_NEAR(HEIGHT - v.y, 200, 1);
    EXPECT_NEAR(v.x, 300, 11);
  }

  // Registered only while it draws: the world's own DebugDraw draws nothing after.
  EXPECT_TRUE(feedback([&] { state.world->DebugDraw(); }).empty());
}
