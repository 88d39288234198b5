#include "game/figures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/world_fixture.h"

namespace {

struct FiguresTest : WorldTest {
  b2Body* box(float x, float y, b2BodyType t = b2_dynamicBody) {
    return boxAt(*state.world, x, y, t);
  }
};

}  // namespace

// A floor with a box resting on it, two boxes whose bounding boxes overlap but
// whose shapes are 0.15 m apart, a box put to sleep, and a joint.
TEST_F(FiguresTest, CountsComeFromTheWorld) {
  box(10, 21, b2_staticBody);
  box(10, 18.99f);
  b2Body* near = box(50, 5);
  b2Body* nearOther = box(52.15f, 5);
  near->SetGravityScale(0), nearOther->SetGravityScale(0);
  b2Body* sleeper = box(80, 5);
  sleeper->SetGravityScale(0);
  b2DistanceJointDef joint;
  joint.Initialize(near, sleeper, near->GetPosition(), sleeper->GetPosition());
  state.world->CreateJoint(&joint);
  step(2);
  sleeper->SetAwake(false);

  ASSERT_EQ(state.world->GetContactCount(), 2) << "Box2D holds the near pair as a contact";
  const WorldCounts counts = countWorld(*state.world);
  EXPECT_EQ(counts.bodies, 5);
  EXPECT_EQ(counts.awake, 3) << "the floor and the sleeper are not awake";
  EXPECT_EQ(counts.moving, 4);
  EXPECT_EQ(counts.movingAwake, 3);
  EXPECT_EQ(counts.ground, 1) << "the floor";
  EXPECT_EQ(counts.contacts, 1) << "only the resting box touches";
  EXPECT_EQ(counts.joints, 1);
}

TEST_F(FiguresTest, MeterAveragesTheLastSecondAndRefreshesFourTimesASecond) {
  box(10, 5);
  FigureMeter meter;
  const Figures& f = meter.figures();
  EXPECT_TRUE(meter.frame(*state.world, 100, 10, 4)) << "the first frame refreshes at once";

  // 30 frames a second: every 8th frame, 8 / 30 s being the first past a quarter.
  int refreshes = 0;
  double t = 100;
  for (int i = 1; i <= 90; ++i) {
    t = 100 + i / 30.0;
    refreshes += meter.frame(*state.world, t, i <= 60 ? 10 : 20, i <= 60 ? 4 : -1);
  }
  EXPECT_EQ(refreshes, 11);
  // Only the last second counts: 20 ms frames in which time stood still, the
  // frames 70 to 90 and this one, and the gap before it.
  meter.frame(*state.world, t + 0.31, 20, -1);
  EXPECT_DOUBLE_EQ(f.drawMs, 20);
  EXPECT_NEAR(f.framesPerSecond, 21 / (0.31 + 20 / 30.0), 1e-9);
  EXPECT_EQ(figureLines(f)[4], "step      -") << "no step to average";

  // After a restart the first frame alone counts, and a rate needs two.
  meter.restart();
  EXPECT_TRUE(meter.frame(*state.world, t + 5, 8, 2));
  EXPECT_EQ(figureLines(f),
            (std::vector<std::string>{"moving    1 awake / 1", "ground    0",
                                      "contacts  0 touching", "joints    0", "step      2.00 ms",
                                      "draw      6.00 ms", "frames/s  -"}));
}
