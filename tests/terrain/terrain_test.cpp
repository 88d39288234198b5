#include "terrain/terrain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "bodies/ship.h"
#include "fixtures/frame_probe.h"
#include "fixtures/world_fixture.h"
#include "game/body_walk.h"
#include "game/controls.h"
#include "game/frame.h"
#include "game/keys.h"
#include "game/world_setup.h"
#include "state/state.h"
#include "support/console_capture.h"
#include "support/pinned_clock.h"
#include "terrain/noise.h"

namespace {

// The newest body of the world is the first of its list.
b2Body* newest(const State& s) { return s.world->GetBodyList(); }

int countBodies(const State& s, float density, b2BodyType type) {
  int n = 0;
  for (b2Body* b = s.world->GetBodyList(); b; b = b->GetNext())
    if (b->GetType() == type && b->GetFixtureList()->GetDensity() == density) ++n;
  return n;
}

int countCircles(const State& s) {
  int n = 0;
  for (b2Body* b = s.world->GetBodyList(); b; b = b->GetNext())
    if (b->GetFixtureList()->GetType() == b2Shape::e_circle) ++n;
  return n;
}

int countMetalBoxes(const State& s) {
  int n = 0;
  for (b2Body* b = s.world->GetBodyList(); b; b = b->GetNext()) {
    const float d = b->GetFixtureList()->GetDensity();
    if (b->GetFixtureList()->GetType() == b2Shape::e_polygon && d != kGroundDensity &&
        d != kShipDensity && d != kWalkerDensity)
      ++n;
  }
  return n;
}

class TerrainTest : public WorldTest {
 protected:
  ConsoleCapture console;
};

TEST_F(TerrainTest, CreateBaseLaysAFloorOf1280PiecesAndMovesTheCursor) {
  createBase(state);
  EXPECT_EQ(state.bordGaucheEcran, 1280.0f);
  ASSERT_EQ(bodyCount(), 1280);
  std::set<int> xs;
  for (b2Body* b = state.world->GetBodyList(); b; b = b->GetNext()) {
    EXPECT_EQ(b->GetType(), b2_staticBody);
    const b2Vec2 p = b->GetPosition();
    EXPECT_FLOAT_EQ(p.y, 90.0f);
    xs.insert(static_cast<int>(std::lround(p.x * M2P)));
    const auto* box = static_cast<const b2PolygonShape*>(b->GetFixtureList()->GetShape());
    EXPECT_NEAR(box->m_vertices[2].x - box->m_vertices[0].x, 1.0f, 1e-5f);  // 10 px wide
  }
  EXPECT_EQ(xs.size(), 1280u);
  EXPECT_EQ(*xs.begin(), 0);
  EXPECT_EQ(*xs.rbegin(), 1279);
}

TEST_F(TerrainTest, FirstColumnStandsAt1480WithTheHeightOfTheNoiseAtTheSeedRow) {
  PinnedClock clock(5000);
  state.coefMontagne = 1234.567f;
  createBase(state);
  update(state);

  const float expected = terrainHeight(Get2DPerlinNoiseValue(1280, 1234.567f, 0.91f));
  EXPECT_EQ(state.VALEUR, expected);
  // The newest static body is the column (debris are dynamic or come after it).
  b2Body* column = nullptr;
  for (b2Body* b = state.world->GetBodyList(); b && !column; b = b->GetNext())
    if (b->GetFixtureList()->GetDensity() == kGroundDensity) column = b;
  ASSERT_NE(column, nullptr);
  EXPECT_FLOAT_EQ(column->GetPosition().x, 148.0f);
  EXPECT_FLOAT_EQ(column->GetPosition().y, static_cast<int>(expected - 200) * P2M);
  const auto* box = static_cast<const b2PolygonShape*>(column->GetFixtureList()->GetShape());
  const float height = box->m_vertices[2].y - box->m_vertices[0].y;
  EXPECT_NEAR(height, 0.5f, 1e-5f);  // 5 px high
  const float width = box->m_vertices[2].x - box->m_vertices[0].x;
  EXPECT_GE(width, 0.1f - 1e-5f);  // 1 ... 5 px wide
  EXPECT_LE(width, 0.5f + 1e-5f);
}

TEST(TerrainHeight, MixesSingleAndDoublePrecision) {
  EXPECT_EQ(terrainHeight(0), 705.0f);
  // (1 + n) rounds in single precision before the double products.
  const float n = 0.123456789f;
  const float onePlus = 1 + n;
  EXPECT_EQ(terrainHeight(n), static_cast<float>(static_cast<double>(onePlus) * 0.5 * 940 * 1.5));
  EXPECT_NEAR(terrainHeight(-0.70710677f), 206.49f, 0.01f);
  EXPECT_NEAR(terrainHeight(0.70710677f), 1203.51f, 0.01f);
}

// At cursor 0 and seed row 0 the noise sits on a lattice point, so the height is
// exactly 705 and the decalage chooses where the column's top lies.
class DebrisRuleTest : public TerrainTest {
 protected:
  void updateWithTop(int top) {
    state.ship = makeShip(state, 150, 840);
    state.coefMontagne = 0;
    state.bordGaucheEcran = 0;
    state.decalage = 705 - top;
    update(state);
    ASSERT_EQ(state.VALEUR, 705.0f);
  }
  PinnedClock clock{secondWhereRandABGives(1, 100, 90)};
};

TEST_F(DebrisRuleTest, BoxRuleNeedsTheTopStrictlyAbove400) {
  updateWithTop(400);
  EXPECT_EQ(countMetalBoxes(state), 0);
}

TEST_F(DebrisRuleTest, BoxRuleMakesADynamicAndAStaticBoxOf21Pixels) {
  updateWithTop(399);
  EXPECT_EQ(countMetalBoxes(state), 2);
  int dynamic = 0, fixed = 0;
  for (b2Body* b = state.world->GetBodyList(); b; b = b->GetNext()) {
    const float d = b->GetFixtureList()->GetDensity();
    if (b->GetFixtureList()->GetType() != b2Shape::e_polygon || d == kGroundDensity ||
        d == kShipDensity)
      continue;
    const auto* box = static_cast<const b2PolygonShape*>(b->GetFixtureList()->GetShape());
    EXPECT_NEAR(box->m_vertices[2].x - box->m_vertices[0].x, 2.1f, 1e-5f);
    EXPECT_NEAR(box->m_vertices[2].y - box->m_vertices[0].y, 2.1f, 1e-5f);
    EXPECT_FLOAT_EQ(b->GetPosition().x, (705 - 399) * P2M);
    if (b->GetType() == b2_dynamicBody) {
      ++dynamic;
      EXPECT_FLOAT_EQ(b->GetPosition().y, (399 - 100) * P2M);  // 100 px above the column
    } else {
      ++fixed;
      EXPECT_GE(b->GetPosition().y, 10.0f);
      EXPECT_LT(b->GetPosition().y, 94.0f);
    }
  }
  EXPECT_EQ(dynamic, 1);
  EXPECT_EQ(fixed, 1);
  // Each box prints its draw; within one second both draw the same metal.
  const auto lines = console.lines();
  ASSERT_GE(lines.size(), 3u);  // the ship's density, then two draws
  EXPECT_EQ(lines[lines.size() - 1], lines[lines.size() - 2]);
}

TEST_F(DebrisRuleTest, CircleRuleNeedsTheTopStrictlyBelow100) {
  updateWithTop(100);
  EXPECT_EQ(countCircles(state), 0);
}

TEST_F(DebrisRuleTest, CircleRuleSendsAWeightlessCircleDrifting) {
  updateWithTop(101);
  ASSERT_EQ(countCircles(state), 1);
  b2Body* circle = nullptr;
  for (b2Body* b = state.world->GetBodyList(); b; b = b->GetNext())
    if (b->GetFixtureList()->GetType() == b2Shape::e_circle) circle = b;
  EXPECT_EQ(circle->GetGravityScale(), 0.0f);
  EXPECT_FLOAT_EQ(circle->GetPosition().x, (705 - 101) * P2M);
  EXPECT_GE(circle->GetPosition().y, 0.0f);
  EXPECT_LT(circle->GetPosition().y, 94.0f);
  const float r = circle->GetFixtureList()->GetShape()->m_radius;
  EXPECT_GE(r, 0.1f - 1e-6f);
  EXPECT_LE(r, 1.4f + 1e-6f);
}

TEST_F(DebrisRuleTest, WalkerRuleNeedsAnEarlierWalkerAndADrawOf80OrMore) {
  // The pinned second draws 90: a walker follows only if one was ever made.
  updateWithTop(101);
  EXPECT_EQ(countBodies(state, kWalkerDensity, b2_dynamicBody), 0);

  state.walkerCreated = true;
  state.limiteDeTrucsQuiTombentDesMontagnes = 10;
  update(state);
  EXPECT_EQ(countBodies(state, kWalkerDensity, b2_dynamicBody), 1);
  ASSERT_NE(state.randomWalker, nullptr);
  // 10 px above this update's column.
  EXPECT_FLOAT_EQ(state.randomWalker->GetPosition().y,
                  static_cast<int>(state.VALEUR - state.decalage - 10) * P2M);

  clock.set(secondWhereRandABGives(1, 100, 79));
  state.limiteDeTrucsQuiTombentDesMontagnes = 20;
  update(state);
  EXPECT_EQ(countBodies(state, kWalkerDensity, b2_dynamicBody), 1);
}

TEST_F(TerrainTest, CounterCyclesFrom1To299AndNeverReturnsTo0) {
  PinnedClock clock(777);
  state.ship = nullptr;
  createBase(state);
  std::set<int> seen;
  for (int i = 0; i < 700; ++i) {
    update(state);
    seen.insert(state.limiteDeTrucsQuiTombentDesMontagnes);
    walkBodies(state, nullptr);
  }
  EXPECT_EQ(seen.size(), 299u);
  EXPECT_EQ(*seen.begin(), 1);
  EXPECT_EQ(*seen.rbegin(), 299);
}

TEST_F(TerrainTest, CursorStepsInSinglePrecision) {
  PinnedClock clock(778);
  state.bordGaucheEcran = 1000;
  update(state);
  EXPECT_EQ(state.bordGaucheEcran, 1000.0f + 0.001f);
  state.bordGaucheEcran = 2000;
  update(state);
  // Past 1024 a float cannot hold 0.001 more: the step is 2^-10.
  EXPECT_EQ(state.bordGaucheEcran, 2000.0009765625f);
}

TEST_F(TerrainTest, RewindAddsAColumnAtTheLeftAndMovesTheCursorBack) {
  state.bordGaucheEcran = 1300;
  rewind_update(state);
  EXPECT_EQ(state.bordGaucheEcran, 1299.0f);
  ASSERT_EQ(bodyCount(), 1);
  const float valeur = terrainHeight(Get2DPerlinNoiseValue(20, 1.7f, 320));
  EXPECT_FLOAT_EQ(newest(state)->GetPosition().x, 2.0f);
  EXPECT_FLOAT_EQ(newest(state)->GetPosition().y, static_cast<int>(valeur - 200) * P2M);
}

TEST_F(TerrainTest, FirstGroundLaysANoiseLandscapeAcrossTheWindow) {
  PinnedClock clock(779);
  createFirstGround(state);
  EXPECT_EQ(state.bordGaucheEcran, 1280.0f);
  EXPECT_EQ(countBodies(state, kGroundDensity, b2_staticBody), 1280);
}

// Scrolling as the Space key does it, for thousands of frames without a window.
TEST(Scrolling, ColumnsFollowTheNoiseAndWhatPassesTheLeftEdgeIsGone) {
  ConsoleCapture console;
  PinnedClock clock(424242);
  State state;
  createWorld(state);
  buildFirstScene(state);
  unsigned char keys[key::COUNT] = {};
  keys[key::SPACE] = 1;

  int largest = 0;
  int frame = 0;
  float cursor = 0;
  FrameProbe probe;
  probe.afterControls = [&] {
    // The column this frame made: at 200 px right of the cursor, its top from the noise.
    const float height = terrainHeight(Get2DPerlinNoiseValue(cursor, state.coefMontagne, 0.91f));
    b2Body* column = nullptr;
    for (b2Body* b = state.world->GetBodyList(); b && !column; b = b->GetNext())
      if (b->GetType() == b2_staticBody && b->GetFixtureList()->GetDensity() == kGroundDensity)
        column = b;
    ASSERT_NE(column, nullptr);
    ASSERT_FLOAT_EQ(column->GetPosition().x, static_cast<int>(200 + cursor) * P2M) << frame;
    ASSERT_NEAR(column->GetPosition().y, static_cast<int>(height - 200) * P2M, 1e-4f) << frame;
  };
  // Past the left edge only what rides on the ship, held there by the clamp, is left.
  auto ridesOnShip = [&](const b2Body* body) {
    for (const b2ContactEdge* e = state.ship->GetContactList(); e; e = e->next)
      if (e->other == body && e->contact->IsTouching()) return true;
    return false;
  };
  probe.afterWalk = [&] {
    for (b2Body* b = state.world->GetBodyList(); b; b = b->GetNext()) {
      if (b->GetPosition().x > 0 || b == state.ship) continue;
      ASSERT_TRUE(ridesOnShip(b)) << "frame " << frame << " x " << b->GetPosition().x;
    }
  };
  for (; frame < 4000 && !HasFailure(); ++frame) {
    if (frame % 50 == 0) clock.set(424242 + frame / 50);  // the clock ticks on
    cursor = state.bordGaucheEcran;
    playFrame(state, keys, &probe);
    largest = std::max(largest, state.world->GetBodyCount());
  }
  // Columns live from x = 1480 px to the left edge: about 1480 of them, plus debris.
  EXPECT_LT(largest, 2200);
  EXPECT_GT(state.world->GetBodyCount(), 1400);
  ASSERT_NE(state.ship, nullptr);  // the clamp keeps the ship off the left edge
}

// 60,000 frames (17 paced minutes) of held Space, the clock ticking a second per
// 60 frames so that the debris draws vary as in play: nothing but the ship stays
// beyond the far limits, and the world stops growing.
TEST(Scrolling, LongRideOfDebrisLeavesTheWorldBounded) {
  ConsoleCapture console;
  const std::time_t start = 1700000000;
  PinnedClock clock(start);
  State state;
  createWorld(state);
  buildFirstScene(state);
  unsigned char keys[key::COUNT] = {};
  keys[key::SPACE] = 1;

  int at30000 = 0;
  int frame = 1;
  FrameProbe probe;
  probe.afterWalk = [&] {
    if (frame % 100 != 0) return;
    const FarLimits far = farLimits(state);
    for (b2Body* b = state.world->GetBodyList(); b; b = b->GetNext()) {
      if (b == state.ship) continue;
      const b2Vec2 p = b->GetPosition();
      ASSERT_TRUE(p.x <= far.right && p.y >= far.top && p.y <= far.bottom)
          << "frame " << frame << ": body at (" << p.x << ", " << p.y << ")";
    }
    console.clear();
    if (frame == 30000) at30000 = state.world->GetBodyCount();
  };
  for (; frame <= 60000 && !HasFailure(); ++frame) {
    clock.set(start + frame / 60);
    playFrame(state, keys, &probe);
  }
  EXPECT_LE(state.world->GetBodyCount(), 1.1 * at30000) << "at 30,000 frames: " << at30000;
}

}  // namespace
