#include "bodies/crane.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "bodies/factories.h"
#include "fixtures/body_bounds.h"
#include "fixtures/handle_check.h"
#include "fixtures/world_fixture.h"

namespace {

class Crane : public WorldTest {
 protected:
  void SetUp() override {
    chassis = addRect1(state, 150, 890, 40, 15, true);
    arm = make_Grue(state, 150, 890, chassis);
  }

  struct Segment {
    const char* name;
    b2Body* body;
    b2Vec2 position, halfExtents;
    float friction;
  };
  std::vector<Segment> segments() const {
    return {{"baseBras", state.baseBras, {15, 89}, {4, 0.01f}, 100},
            {"secondBras", state.secondBras, {17, 89}, {4, 0.01f}, 100},
            {"poignet", state.poignet, {17, 89}, {2, 0.01f}, 100},
            {"pouce", state.pouce, {17, 89}, {1, 0.11f}, 1000},
            {"Index", state.Index, {17, 89}, {1, 0.11f}, 1000}};
  }

  struct Joint {
    const char* name;
    b2RevoluteJoint* joint;
    b2Body *a, *b;
    b2Vec2 anchorA, anchorB;
  };
  std::vector<Joint> joints() const {
    return {{"wheelBras", state.wheelBras, chassis, state.baseBras, {0, -1.8f}, {-4, 0}},
            {"wheelSecondBras",
             state.wheelSecondBras,
             state.baseBras,
             state.secondBras,
             {5, 0},
             {-4, 0}},
            {"wheelPoignet", state.wheelPoignet, state.secondBras, state.poignet, {5, 0}, {0, 0}},
            {"wheelPouce", state.wheelPouce, state.poignet, state.pouce, {2, -1.1f}, {1, 0}},
            {"wheelIndex", state.wheelIndex, state.poignet, state.Index, {-2, -1.1f}, {1, 0}}};
  }

  b2Body* chassis = nullptr;
  b2Body* arm = nullptr;
};

}  // namespace

TEST_F(Crane, SegmentsAreWeightlessCraneDensityBoxesBuiltNearTheChassis) {
  EXPECT_EQ(arm, state.baseBras);
  for (const Segment& s : segments()) {
    SCOPED_TRACE(s.name);
    ASSERT_NE(s.body, nullptr);
    EXPECT_EQ(s.body->GetType(), b2_dynamicBody);
    EXPECT_EQ(s.body->GetPosition(), s.position);
    EXPECT_EQ(s.body->GetAngle(), 0.0f);
    EXPECT_EQ(s.body->GetGravityScale(), 0.0f);
    const b2Fixture* f = s.body->GetFixtureList();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->GetNext(), nullptr);
    EXPECT_EQ(f->GetDensity(), 5.99f);  // exact: the renderer knows the crane by it
    EXPECT_EQ(f->GetFriction(), s.friction);
    EXPECT_EQ(f->GetRestitution(), 0.0f);
    expectBounds(polygonBounds(s.body), s.position.x - s.halfExtents.x,
                 s.position.y - s.halfExtents.y, s.position.x + s.halfExtents.x,
                 s.position.y + s.halfExtents.y);
  }
  EXPECT_EQ(bodyCount(), 6);
  EXPECT_EQ(state.world->GetJointCount(), 5);
}

TEST_F(Crane, JointsAreMotorisedHingesAndOnlyTheArmIsLimited) {
  for (const Joint& j : joints()) {
    SCOPED_TRACE(j.name);
    ASSERT_NE(j.joint, nullptr);
    EXPECT_EQ(j.joint->GetBodyA(), j.a);
    EXPECT_EQ(j.joint->GetBodyB(), j.b);
    EXPECT_EQ(j.joint->GetLocalAnchorA(), j.anchorA);
    EXPECT_EQ(j.joint->GetLocalAnchorB(), j.anchorB);
    EXPECT_TRUE(j.joint->IsMotorEnabled());
    EXPECT_EQ(j.joint->GetMaxMotorTorque(), 10000.0f);
    EXPECT_EQ(j.joint->GetMotorSpeed(), 0.0f);
    EXPECT_FALSE(j.joint->GetCollideConnected());
    EXPECT_EQ(j.joint->IsLimitEnabled(), j.joint == state.wheelBras);
  }
  EXPECT_EQ(state.wheelBras->GetLowerLimit(), -3.1f);
  EXPECT_EQ(state.wheelBras->GetUpperLimit(), 0.0f);
}

TEST_F(Crane, ArmDrivenPastItsLimitStopsThere) {
  // The motor drives the arm upwards (negative angle) for longer than it takes to
  // sweep the whole range; the limit holds it near -3.1 rad.
  state.wheelBras->SetMotorSpeed(-2);
  float lowest = 0;
  for (int i = 0; i < 200; ++i) {
    step();
    lowest = std::min(lowest, state.wheelBras->GetJointAngle());
  }
  EXPECT_LT(lowest, -3.0f);
  EXPECT_GT(lowest, -3.2f);
}

TEST_F(Crane, LockRaisesEveryLivingJointsTorqueAndLeavesOlderCranesAlone) {
  // A second crane takes over the handles; the first stays in the world unlocked.
  b2RevoluteJoint* firstArmJoint = state.wheelBras;
  b2Body* secondChassis = addRect1(state, 600, 300, 40, 15, true);
  make_Grue(state, 600, 300, secondChassis);
  ASSERT_NE(state.wheelBras, firstArmJoint);

  bloque_bras_robot(state);
  for (const Joint& j : joints()) {
    SCOPED_TRACE(j.name);
    EXPECT_EQ(j.joint->GetMaxMotorTorque(), 1000000.0f);
    EXPECT_EQ(j.joint->GetMotorSpeed(), 0.0f) << "the lock leaves speeds alone";
  }
  EXPECT_EQ(firstArmJoint->GetMaxMotorTorque(), 10000.0f);
}

TEST_F(Crane, ChassisDestroyedTakesTheArmJointAndTheLockSkipsIt) {
  destroyBody(state, chassis);
  EXPECT_EQ(state.wheelBras, nullptr);
  EXPECT_TRUE(handlesNameLiveObjects(state));
  EXPECT_EQ(bodyCount(), 5) << "the five segments stay";
  EXPECT_EQ(state.world->GetJointCount(), 4);

  bloque_bras_robot(state);
  for (const Joint& j : joints()) {
    if (j.joint == nullptr) continue;
    SCOPED_TRACE(j.name);
    EXPECT_EQ(j.joint->GetMaxMotorTorque(), 1000000.0f);
  }
  step(5);
  EXPECT_EQ(state.baseBras->GetGravityScale(), 0.0f);
}
