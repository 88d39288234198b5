// Whoever destroys a car -- the D key or the left-edge removal -- no handle is
// left naming a dead body or joint, and every key keeps working afterwards.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "bodies/ship.h"
#include "fixtures/handle_check.h"
#include "fixtures/world_fixture.h"
#include "game/body_walk.h"
#include "game/controls.h"
#include "game/frame.h"
#include "game/keys.h"
#include "state/state.h"
#include "support/console_capture.h"

namespace {

class Handles : public WorldTest {
 protected:
  Handles() { state.ship = makeShip(state, 640, 200); }

  // One whole frame as the program runs it, with every key of the keyboard held.
  void frameWithEveryKeyHeld() {
    std::array<unsigned char, key::COUNT> keys;
    keys.fill(1);
    for (int symbol : {key::B, key::C, key::D, key::J, key::R}) onKeyPress(state, symbol, 640, 300);
    playFrame(state, keys.data());
  }

  void pushPastLeftEdge(b2Body* body) {
    body->SetTransform(b2Vec2(-0.5f, body->GetPosition().y), body->GetAngle());
  }

  ConsoleCapture console;
};

}  // namespace

TEST_F(Handles, CraneCarDestroyedWithD) {
  onKeyPress(state, key::B, 0, 0);
  step(10);
  for (int i = 0; i < 3; ++i) onKeyPress(state, key::D, 0, 0);
  EXPECT_EQ(state.car, nullptr);
  EXPECT_EQ(state.distanceJoint, nullptr);
  EXPECT_EQ(state.distanceJoint2, nullptr);
  EXPECT_EQ(state.wheel, nullptr);
  EXPECT_EQ(state.wheel12, nullptr);
  EXPECT_EQ(state.wheelBras, nullptr);
  EXPECT_NE(state.wheelSecondBras, nullptr);
  EXPECT_TRUE(handlesNameLiveObjects(state));

  frameWithEveryKeyHeld();
  EXPECT_TRUE(handlesNameLiveObjects(state));
}

TEST_F(Handles, PlainCarPushedPastTheLeftEdge) {
  onKeyPress(state, key::C, 400, 500);
  b2Body* chassis = state.wheel->GetBodyA();
  pushPastLeftEdge(chassis);
  walkBodies(state, nullptr);
  EXPECT_EQ(state.wheel, nullptr) << "both wheel joints died with the chassis";
  EXPECT_EQ(state.wheel12, nullptr);
  ASSERT_NE(state.wheel1, nullptr) << "the wheels themselves are still on screen";
  EXPECT_TRUE(handlesNameLiveObjects(state));

  pushPastLeftEdge(state.wheel1);
  walkBodies(state, nullptr);
  EXPECT_EQ(state.wheel1, nullptr);
  EXPECT_NE(state.wheel2, nullptr);
  EXPECT_TRUE(handlesNameLiveObjects(state));

  frameWithEveryKeyHeld();
  EXPECT_TRUE(handlesNameLiveObjects(state));
}

// The ship carries its crane car past the left edge; once D has destroyed the
// car, what is left of the crane goes there like any other body.
TEST_F(Handles, HangingCraneCarAndItsArmPushedPastTheLeftEdge) {
  onKeyPress(state, key::B, 0, 0);
  step(10);
  pushPastLeftEdge(state.car);
  walkBodies(state, nullptr);
  ASSERT_NE(state.car, nullptr) << "the ship carries it";
  EXPECT_TRUE(state.cableWhole());
  for (b2RevoluteJoint* j : state.hinges()) EXPECT_NE(j, nullptr);
  EXPECT_TRUE(handlesNameLiveObjects(state));

  for (int i = 0; i < 3; ++i) onKeyPress(state, key::D, 0, 0);
  EXPECT_EQ(state.car, nullptr);
  EXPECT_EQ(state.distanceJoint, nullptr) << "the cable dies with the car";
  EXPECT_EQ(state.distanceJoint2, nullptr);
  EXPECT_EQ(state.wheel, nullptr);
  EXPECT_EQ(state.wheel12, nullptr);
  EXPECT_EQ(state.wheelBras, nullptr);
  EXPECT_TRUE(handlesNameLiveObjects(state));

  // The arm next: its own joint to the second arm goes with it.
  pushPastLeftEdge(state.baseBras);
  walkBodies(state, nullptr);
  EXPECT_EQ(state.baseBras, nullptr);
  EXPECT_EQ(state.brasGrue, nullptr);
  EXPECT_EQ(state.wheelSecondBras, nullptr);
  EXPECT_NE(state.wheelPoignet, nullptr);
  EXPECT_TRUE(handlesNameLiveObjects(state));

  // With no car, the J key prints and B makes a fresh crane car.
  console.clear();
  onKeyPress(state, key::J, 0, 0);
  EXPECT_EQ(console.lines(), std::vector<std::string>{"TOTO2"});
  frameWithEveryKeyHeld();
  EXPECT_TRUE(handlesNameLiveObjects(state));
  EXPECT_NE(state.car, nullptr);
}

// The crane left behind by its destroyed car, taken away segment by segment,
// with every key held between.
TEST_F(Handles, EveryCraneSegmentPushedAwayOneByOne) {
  onKeyPress(state, key::B, 0, 0);
  for (int i = 0; i < 3; ++i) onKeyPress(state, key::D, 0, 0);
  ASSERT_EQ(state.car, nullptr);
  for (b2Body** segment :
       {&state.Index, &state.pouce, &state.poignet, &state.secondBras, &state.baseBras}) {
    pushPastLeftEdge(*segment);
    walkBodies(state, nullptr);
    EXPECT_EQ(*segment, nullptr);
    ASSERT_TRUE(handlesNameLiveObjects(state));
    std::array<unsigned char, key::COUNT> keys;
    keys.fill(1);
    keys[key::SPACE] = 0;  // no terrain here
    playFrame(state, keys.data());
    keys.fill(0);
    playFrame(state, keys.data());
  }
  for (b2RevoluteJoint* j : {state.wheelBras, state.wheelSecondBras, state.wheelPoignet,
                             state.wheelPouce, state.wheelIndex})
    EXPECT_EQ(j, nullptr);
}
