#include "bodies/ship.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/body_bounds.h"
#include "fixtures/world_fixture.h"
#include "support/console_capture.h"

class Ship : public WorldTest {
 protected:
  // A ship put at (x, y) m with commanded speeds that the clamp may clear.
  b2Body* shipAt(float x, float y) {
    ConsoleCapture quiet;
    b2Body* ship = makeShip(state, 150, 840);
    ship->SetTransform(b2Vec2(x, y), 0.3f);
    state.vitesseShipHorizontale = -4;
    state.vitesseShipVerticale = -6;
    return ship;
  }
};

TEST_F(Ship, IsAWeightlessNonRotatingHullThatPrintsItsDensity) {
  ConsoleCapture console;
  b2Body* ship = makeShip(state, 150, 840);
  EXPECT_EQ(console.lines(), std::vector<std::string>{"0.95"});

  EXPECT_EQ(ship->GetType(), b2_dynamicBody);
  EXPECT_EQ(ship->GetPosition(), b2Vec2(15, 84));
  EXPECT_TRUE(ship->IsFixedRotation());
  EXPECT_EQ(ship->GetGravityScale(), 0.0f);
  const b2Fixture* f = ship->GetFixtureList();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->GetNext(), nullptr);
  EXPECT_EQ(f->GetDensity(), 0.95f);
  EXPECT_EQ(f->GetFriction(), 0.2f);
  EXPECT_EQ(f->GetRestitution(), 0.5f);
  EXPECT_NEAR(ship->GetMass(), 42.75f, 1e-3f);

  expectBounds(polygonBounds(ship), 7.5f, 82.5f, 22.5f, 85.5f);  // 15 m x 3 m

  // A torque would turn a free body; this one neither falls nor turns.
  ship->ApplyTorque(500, true);
  step(40);
  EXPECT_EQ(ship->GetPosition(), b2Vec2(15, 84));
  EXPECT_EQ(ship->GetAngle(), 0.0f);
}

TEST_F(Ship, ClampPutsBackAtTheLeftEdgeOnly) {
  b2Body* ship = shipAt(-5, 50);
  limitBodyBounds(state, ship);
  EXPECT_EQ(ship->GetPosition(), b2Vec2(0.1f, 50));
  EXPECT_EQ(ship->GetAngle(), 0.0f);
  EXPECT_EQ(state.vitesseShipHorizontale, 0.0f);
  EXPECT_EQ(state.vitesseShipVerticale, -6.0f);
}

TEST_F(Ship, ClampPutsBackAtTheTopEdgeOnly) {
  b2Body* ship = shipAt(20, -3);
  limitBodyBounds(state, ship);
  EXPECT_EQ(ship->GetPosition(), b2Vec2(20, 0.1f));
  EXPECT_EQ(ship->GetAngle(), 0.0f);
  EXPECT_EQ(state.vitesseShipHorizontale, -4.0f);
  EXPECT_EQ(state.vitesseShipVerticale, 0.0f);
}

TEST_F(Ship, ClampFixesBothEdgesInOneCall) {
  b2Body* ship = shipAt(-1, -1);
  ship->SetLinearVelocity(b2Vec2(-2, -1));
  limitBodyBounds(state, ship);
  EXPECT_EQ(ship->GetPosition(), b2Vec2(0.1f, 0.1f));
  EXPECT_EQ(ship->GetLinearVelocity(), b2Vec2(-2, -1)) << "stopping is the controls' job";
  EXPECT_EQ(state.vitesseShipHorizontale, 0.0f);
  EXPECT_EQ(state.vitesseShipVerticale, 0.0f);
}

TEST_F(Ship, ClampMovesAtOneCentimetreButNotAtTwo) {
  b2Body* ship = shipAt(0.01f, 0.01f);
  limitBodyBounds(state, ship);
  EXPECT_EQ(ship->GetPosition(), b2Vec2(0.1f, 0.1f));

  ship->SetTransform(b2Vec2(0.02f, 0.02f), 0.3f);
  state.vitesseShipHorizontale = -4;
  state.vitesseShipVerticale = -6;
  limitBodyBounds(state, ship);
  EXPECT_EQ(ship->GetPosition(), b2Vec2(0.02f, 0.02f));
  EXPECT_EQ(ship->GetAngle(), 0.3f);
  EXPECT_EQ(state.vitesseShipHorizontale, -4.0f);
  EXPECT_EQ(state.vitesseShipVerticale, -6.0f);
}

// The window is 128 m x 94 m: the right and bottom edges mirror the left and top.
TEST_F(Ship, ClampPutsBackAtTheRightAndBottomEdges) {
  b2Body* ship = shipAt(5000, 3000);
  limitBodyBounds(state, ship);
  EXPECT_EQ(ship->GetPosition(), b2Vec2(127.9f, 93.9f));
  EXPECT_EQ(ship->GetAngle(), 0.0f);
  EXPECT_EQ(state.vitesseShipHorizontale, 0.0f);
  EXPECT_EQ(state.vitesseShipVerticale, 0.0f);

  // 1 cm from the edge is moved, 2 cm is not; each axis clears only its own speed.
  ship = shipAt(127.99f, 93.98f);
  limitBodyBounds(state, ship);
  EXPECT_EQ(ship->GetPosition(), b2Vec2(127.9f, 93.98f));
  EXPECT_EQ(state.vitesseShipHorizontale, 0.0f);
  EXPECT_EQ(state.vitesseShipVerticale, -6.0f);
}
