#include "bodies/walker.h"

#include <gtest/gtest.h>

#include "fixtures/body_bounds.h"
#include "fixtures/world_fixture.h"
#include "support/pinned_clock.h"

using Walker = WorldTest;

TEST_F(Walker, CoinOf49MakesNothing) {
  PinnedClock clock(secondWhereRandABGives(1, 100, 49));
  init_random_walker(state, 900, 900);
  EXPECT_EQ(state.randomWalker, nullptr);
  EXPECT_FALSE(state.walkerCreated);
  EXPECT_EQ(bodyCount(), 0);
}

TEST_F(Walker, CoinOf50MakesADenseFallingBox) {
  PinnedClock clock(secondWhereRandABGives(1, 100, 50));
  init_random_walker(state, 900, 900);
  b2Body* walker = state.randomWalker;
  ASSERT_NE(walker, nullptr);
  EXPECT_TRUE(state.walkerCreated);
  EXPECT_EQ(bodyCount(), 1);
  EXPECT_EQ(walker->GetType(), b2_dynamicBody);
  EXPECT_EQ(walker->GetPosition(), b2Vec2(90, 90));

  const b2Fixture* f = walker->GetFixtureList();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->GetDensity(), 50.63f);
  EXPECT_EQ(f->GetRestitution(), 0.0f);
  EXPECT_EQ(f->GetFriction(), 0.2f);
  expectBounds(polygonBounds(walker), 89.7f, 89.75f, 90.3f, 90.25f);
  EXPECT_NEAR(walker->GetMass(), 15.189f, 1e-3f);

  step(10);
  EXPECT_GT(walker->GetPosition().y, 91.0f);
}

TEST_F(Walker, SecondWalkerTakesTheHandleAndBothStay) {
  PinnedClock clock(secondWhereRandABGives(1, 100, 99));
  init_random_walker(state, 900, 900);
  b2Body* first = state.randomWalker;
  init_random_walker(state, 300, 100);
  ASSERT_NE(state.randomWalker, nullptr);
  EXPECT_NE(state.randomWalker, first);
  EXPECT_EQ(state.randomWalker->GetPosition(), b2Vec2(30, 10));
  EXPECT_EQ(bodyCount(), 2);
  EXPECT_EQ(first->GetPosition(), b2Vec2(90, 90));

  // A losing coin afterwards keeps the newest handle.
  clock.set(secondWhereRandABGives(1, 100, 1));
  b2Body* newest = state.randomWalker;
  init_random_walker(state, 500, 500);
  EXPECT_EQ(state.randomWalker, newest);
  EXPECT_EQ(bodyCount(), 2);
}
