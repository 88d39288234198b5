#include "bodies/bridge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bodies/factories.h"
#include "fixtures/world_fixture.h"
#include "support/console_capture.h"

namespace {

template <typename T>
std::vector<T*> inCreationOrder(T* newestFirst) {
  std::vector<T*> out;
  for (T* item = newestFirst; item; item = item->GetNext()) out.push_back(item);
  std::reverse(out.begin(), out.end());
  return out;
}

float halfWidth(const b2Body* body) {
  const auto* box = static_cast<const b2PolygonShape*>(body->GetFixtureList()->GetShape());
  float hx = 0;
  for (int i = 0; i < box->m_count; ++i) hx = std::max(hx, box->m_vertices[i].x);
  return hx;
}

}  // namespace

class BridgeTest : public WorldTest {
 protected:
  // Stations 4 m square; the bridge runs from the left one's top-right corner
  // (vertex 1) to the right one's top-left corner (vertex 0), both at y = 28 m.
  void build(int rightCentreX, int w, int h) {
    sta1 = addRect1(state, 100, 300, 40, 40, false);
    sta2 = addRect1(state, rightCentreX, 300, 40, 40, false);
    ConsoleCapture console;
    createBridge(state, sta1, sta2, w, h);
    lines = console.lines();
    std::vector<b2Body*> bodies = inCreationOrder(state.world->GetBodyList());
    planks.assign(bodies.begin() + 2, bodies.end());
    for (b2Joint* j : inCreationOrder(state.world->GetJointList()))
      hinges.push_back(static_cast<b2RevoluteJoint*>(j));
  }

  void expectHinge(size_t i, b2Body* a, b2Body* b, float anchorA, float anchorB) {
    SCOPED_TRACE("hinge " + std::to_string(i));
    ASSERT_LT(i, hinges.size());
    b2RevoluteJoint* j = hinges[i];
    ASSERT_EQ(j->GetType(), e_revoluteJoint);
    EXPECT_EQ(j->GetBodyA(), a);
    EXPECT_EQ(j->GetBodyB(), b);
    EXPECT_FLOAT_EQ(j->GetLocalAnchorA().x, anchorA);
    EXPECT_EQ(j->GetLocalAnchorA().y, 0.0f);
    EXPECT_FLOAT_EQ(j->GetLocalAnchorB().x, anchorB);
    EXPECT_EQ(j->GetLocalAnchorB().y, 0.0f);
    EXPECT_FALSE(j->IsMotorEnabled());
    EXPECT_FALSE(j->IsLimitEnabled());
    EXPECT_FALSE(j->GetCollideConnected());
  }

  b2Body* sta1 = nullptr;
  b2Body* sta2 = nullptr;
  std::vector<b2Body*> planks;
  std::vector<b2RevoluteJoint*> hinges;
  std::vector<std::string> lines;
};

TEST_F(BridgeTest, FivePlanksAndSixHingesAcrossFiveSpacings) {
  build(300, 30, 10);  // 160 px between the corners: 160 / 30 = 5
  ASSERT_EQ(planks.size(), 5u);
  ASSERT_EQ(hinges.size(), 6u);

  // The first plank one spacing from the left corner; the rest start again at it.
  const float xs[5] = {15, 12, 15, 18, 21};
  for (size_t i = 0; i < planks.size(); ++i) {
    SCOPED_TRACE("plank " + std::to_string(i));
    EXPECT_EQ(planks[i]->GetType(), b2_dynamicBody);
    EXPECT_NEAR(planks[i]->GetPosition().x, xs[i], 1e-4);
    EXPECT_NEAR(planks[i]->GetPosition().y, 28, 1e-4);
    EXPECT_FLOAT_EQ(halfWidth(planks[i]), 3.0f);
  }

  expectHinge(0, sta1, planks[0], 2.0f, -1.5f);
  for (size_t i = 1; i < 5; ++i) expectHinge(i, planks[i - 1], planks[i], 1.5f, -1.5f);
  expectHinge(5, planks[4], sta2, 1.5f, -2.0f);
}

TEST_F(BridgeTest, EachPlankPrintsTheDrawOfItsMetal) {
  build(300, 30, 10);
  ASSERT_EQ(lines.size(), planks.size());
  for (size_t i = 0; i < planks.size(); ++i) {
    const int draw = std::stoi(lines[i]);
    EXPECT_EQ(planks[i]->GetFixtureList()->GetDensity(),
              state.TABLEAU_DES_DENSITES[metalIndexForDraw(draw)])
        << "line " << i;
  }
}

TEST_F(BridgeTest, StationsCloserThanTwoSpacingsGetOnePlankHingedToBoth) {
  for (const int rightX : {160, 140}) {  // 40 px apart (one spacing), 20 px (none)
    SCOPED_TRACE("right station at " + std::to_string(rightX));
    state.world = nullptr;
    createWorld(state);
    planks.clear();
    hinges.clear();
    build(rightX, 30, 10);
    ASSERT_EQ(planks.size(), 1u);
    ASSERT_EQ(hinges.size(), 2u);
    EXPECT_EQ(lines.size(), 1u);
    expectHinge(0, sta1, planks[0], 2.0f, -1.5f);
    expectHinge(1, planks[0], sta2, 1.5f, -2.0f);
  }
}

TEST_F(BridgeTest, OddSpacingHalvesTowardsZeroOnBothSides) {
  build(300, 7, 4);  // 160 / 7 = 22 planks
  ASSERT_EQ(planks.size(), 22u);
  ASSERT_EQ(hinges.size(), 23u);
  EXPECT_FLOAT_EQ(halfWidth(planks[0]), 0.7f);
  expectHinge(0, sta1, planks[0], 2.0f, -0.3f);
  expectHinge(11, planks[10], planks[11], 0.3f, -0.3f);
  expectHinge(22, planks[21], sta2, 0.3f, -2.0f);
}

TEST_F(BridgeTest, HangsBetweenItsStationsWithoutComingApart) {
  // The truncated plank count makes the chain (pos2.x - pos1.x) mod w short:
  // a span of 150 px fits five planks exactly, one of 160 px is 1 m short and
  // the six hinges share that stretch.
  struct Case {
    int rightCentreX;
    float maxGap;
  };
  for (const Case& c : {Case{290, 0.05f}, Case{300, 0.25f}}) {
    SCOPED_TRACE("right station at " + std::to_string(c.rightCentreX));
    state.world = nullptr;
    createWorld(state);
    planks.clear();
    hinges.clear();
    build(c.rightCentreX, 30, 10);
    step(400);
    for (b2RevoluteJoint* j : hinges)
      EXPECT_LT((j->GetAnchorA() - j->GetAnchorB()).Length(), c.maxGap) << "hinge pulled apart";

    // The station anchors sit on the stations' centre line, y = 30 m.
    const float right = (c.rightCentreX - 20) * P2M;
    for (size_t i = 0; i < planks.size(); ++i) {
      const b2Vec2 at = planks[i]->GetPosition();
      EXPECT_GT(at.x, 12.0f) << "plank " << i;
      EXPECT_LT(at.x, right) << "plank " << i;
      EXPECT_GT(at.y, 30.0f) << "plank " << i << " hangs below the hinge line";
      EXPECT_LT(at.y, 32.0f) << "plank " << i << " no further than the chain reaches";
    }
    // Pulled together into order from left to right.
    for (size_t i = 1; i < planks.size(); ++i)
      EXPECT_LT(planks[i - 1]->GetPosition().x, planks[i]->GetPosition().x);
  }
}

TEST_F(BridgeTest, RefusesStationsItCannotSpan) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  b2Body* box = addRect1(state, 100, 300, 40, 40, false);
  b2Body* disc = addCircle(state, 300, 300, 20, false);
  b2BodyDef bare;
  b2Body* empty = state.world->CreateBody(&bare);

  EXPECT_EXIT(createBridge(state, disc, box, 30, 10), testing::ExitedWithCode(1),
              "createBridge: the left station needs a polygon");
  EXPECT_EXIT(createBridge(state, box, empty, 30, 10), testing::ExitedWithCode(1),
              "createBridge: the right station needs a polygon");
  EXPECT_EXIT(createBridge(state, box, nullptr, 30, 10), testing::ExitedWithCode(1),
              "the right station");
  EXPECT_EXIT(createBridge(state, box, box, 0, 10), testing::ExitedWithCode(1),
              "spacing and height must be positive");
  EXPECT_EXIT(createBridge(state, box, box, 30, -1), testing::ExitedWithCode(1),
              "spacing and height must be positive");
}
