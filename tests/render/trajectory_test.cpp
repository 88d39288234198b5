#include "render/trajectory.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "fixtures/gl_feedback.h"
#include "fixtures/gl_window.h"
#include "fixtures/world_fixture.h"

class TrajectoryTest : public WorldTest {};

TEST_F(TrajectoryTest, StartsAtTheStartAndTakesOneStepOfVelocityAndGravity) {
  const b2Vec2 p(3.25f, -7.5f), v(12.0f, -4.0f);
  const b2Vec2 at0 = getTrajectoryPoint(state, p, v, 0);
  EXPECT_EQ(at0.x, p.x);
  EXPECT_EQ(at0.y, p.y);

  const b2Vec2 at1 = getTrajectoryPoint(state, p, v, 1);
  EXPECT_NEAR(at1.x, 3.25 + 12.0 / 60, 1e-6);
  EXPECT_NEAR(at1.y, -7.5 - 4.0 / 60 + 9.81 / 3600, 1e-6);
}

TEST_F(TrajectoryTest, SixtyStepsFromRestCoverMoreThanHalfGT2) {
  const b2Vec2 p(10, 20), rest(0, 0);
  const b2Vec2 at60 = getTrajectoryPoint(state, p, rest, 60);
  EXPECT_FLOAT_EQ(at60.x, 10);
  EXPECT_NEAR(at60.y - 20, 1830.0 / 3600 * 9.81, 1e-5);
}

TEST_F(TrajectoryTest, FollowsTheWorldsGravityAtEachCall) {
  const b2Vec2 p(0, 0), v(5, -10);
  const b2Vec2 earth = getTrajectoryPoint(state, p, v, 90);
  state.world->SetGravity(b2Vec2(0, 2.07f));
  const b2Vec2 blueSky = getTrajectoryPoint(state, p, v, 90);
  EXPECT_FLOAT_EQ(blueSky.x, earth.x);
  EXPECT_NEAR(blueSky.y, 90 * (-10.0 / 60) + 0.5 * (90 * 90 + 90) / 3600 * 2.07, 1e-4);
  EXPECT_GT(earth.y - blueSky.y, 1.0f);

  state.world->SetGravity(b2Vec2(3, 0));
  const b2Vec2 sideways = getTrajectoryPoint(state, p, v, 60);
  EXPECT_NEAR(sideways.x, 5 + 1830.0 / 3600 * 3, 1e-4);
  EXPECT_NEAR(sideways.y, -10, 1e-4);
}

TEST_F(TrajectoryTest, AgreesWithABodyTheWorldSteps) {
  // The preview predicts what the solver does at 1/60 s: gravity into velocity, then position.
  b2BodyDef def;
  def.type = b2_dynamicBody;
  def.position.Set(4, 5);
  def.linearVelocity.Set(8, -15);
  b2Body* body = state.world->CreateBody(&def);
  b2CircleShape ball;
  ball.m_radius = 0.1f;
  body->CreateFixture(&ball, 1);

  for (int n = 1; n <= 120; ++n) {
    stepSolver(*state.world, 1 / 60.0f);
    if (n % 30 != 0) continue;
    const b2Vec2 predicted = getTrajectoryPoint(state, b2Vec2(4, 5), b2Vec2(8, -15), n);
    EXPECT_NEAR(predicted.x, body->GetPosition().x, 1e-3) << "step " << n;
    EXPECT_NEAR(predicted.y, body->GetPosition().y, 1e-3) << "step " << n;
  }
}

class TrajectoryDrawTest : public GlWindowTest {
 protected:
  TrajectoryDrawTest() { createWorld(state); }
  State state;
};

TEST_F(TrajectoryDrawTest, DrawsNinetyYellowDashesThroughTheFirst180Points) {
  // Pixel arguments: 5 px per point along a row through pixel centres.
  const b2Vec2 p(100.5f, 100.5f), v(300, 0);
  drawTrajectory(state, p, v);
  const Rgb yellow = rgb(1, 1, 0), black{0, 0, 0};
  EXPECT_EQ(pixel(102, 100), yellow) << "points 0 to 1";
  EXPECT_EQ(pixel(108, 100), black) << "no line from point 1 to 2";
  EXPECT_EQ(pixel(112, 100), yellow) << "points 2 to 3";
  EXPECT_EQ(pixel(1000, 150), black) << "nothing past point 179";

  const auto prims = feedback([&] { drawTrajectory(state, p, v); });
  ASSERT_EQ(prims.size(), 90u);
  for (int k = 0; k < 90; ++k) {
    ASSERT_TRUE(prims[k].isLine());
    for (int end = 0; end < 2; ++end) {
      const b2Vec2 want = getTrajectoryPoint(state, p, v, static_cast<float>(2 * k + end));
      EXPECT_NEAR(prims[k].vertices[end].x, want.x, 1e-3) << "dash " << k;
      EXPECT_NEAR(prims[k].vertices[end].y, HEIGHT - want.y, 1e-3) << "dash " << k;
      const FedVertex& fed = prims[k].vertices[end];
      EXPECT_TRUE(fed.r == 1 && fed.g == 1 && fed.b == 0) << "yellow, dash " << k;
    }
  }
}
