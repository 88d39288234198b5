#include "game/controls.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

#include "bodies/factories.h"
#include "bodies/ship.h"
#include "fixtures/frame_probe.h"
#include "fixtures/handle_check.h"
#include "fixtures/world_fixture.h"
#include "game/body_walk.h"
#include "game/frame.h"
#include "game/keys.h"
#include "game/mouse_drag.h"
#include "game/world_setup.h"
#include "state/state.h"
#include "support/console_capture.h"
#include "support/pinned_clock.h"

namespace {

using Lines = std::vector<std::string>;

constexpr std::initializer_list<int> kAllEightCraneKeys = {
    key::KP1, key::KP3, key::KP7, key::KP9, key::KP5, key::KP_ENTER, key::KP0, key::KP_PERIOD};

class Controls : public WorldTest {
 protected:
  Controls() {
    ConsoleCapture quiet;
    state.ship = makeShip(state, 150, 840);
  }

  // One frame of the held-key controls with exactly these keys down.
  void frame(std::initializer_list<int> held = {}) {
    std::array<unsigned char, key::COUNT> keys{};
    for (int k : held) keys[k] = 1;
    applyHeldKeys(state, keys.data());
  }
  void frames(int n, std::initializer_list<int> held = {}) {
    for (int i = 0; i < n; ++i) frame(held);
  }
  void press(int symbol, int x = 0, int y = 0) { onKeyPress(state, symbol, x, y); }

  const std::array<unsigned char, key::COUNT> noKeys{};

  // The crane car hanging under the ship, made quietly.
  void hangCraneCar() {
    ConsoleCapture quiet;
    press(key::B);
    ASSERT_NE(state.car, nullptr);
  }

  std::vector<b2RevoluteJoint*> craneJoints() const {
    return {state.wheelBras, state.wheelSecondBras, state.wheelPoignet, state.wheelPouce,
            state.wheelIndex};
  }
};

}  // namespace

// ---- ship speed ----

TEST_F(Controls, HeldRightRampsAndReleasedDecaysToASmallDrift) {
  float expected = 0;
  for (int i = 0; i < 3; ++i) {
    frame({key::RIGHT});
    expected += 0.1f;
  }
  EXPECT_EQ(state.vitesseShipHorizontale, expected);
  EXPECT_EQ(state.ship->GetLinearVelocity(), b2Vec2(expected, 0));

  frames(20);
  const float drift = state.vitesseShipHorizontale;
  EXPECT_GT(drift, 0);
  EXPECT_LE(drift, 0.05f);
  frames(10);
  EXPECT_EQ(state.vitesseShipHorizontale, drift);
}

TEST_F(Controls, OneFrameOfRightLeavesTheShipDriftingRight) {
  frame({key::RIGHT});
  EXPECT_EQ(state.vitesseShipHorizontale, 0.1f);
  frames(30);
  EXPECT_EQ(state.vitesseShipHorizontale, 0.05f);
  EXPECT_EQ(state.ship->GetLinearVelocity().x, 0.05f);
}

TEST_F(Controls, UnheldHorizontalSpeedsFromZeroToTheDecayStepKeepTheirValue) {
  for (float v : {0.0f, 0.01f, 0.03f, 0.05f}) {
    state.vitesseShipHorizontale = v;
    frames(50);
    EXPECT_NEAR(state.vitesseShipHorizontale, v, 1e-6f) << v;
  }
  EXPECT_EQ(state.vitesseShipHorizontale, 0.05f);
  state.vitesseShipHorizontale = 0;
  frames(50);
  EXPECT_EQ(state.vitesseShipHorizontale, 0.0f) << "exactly 0 stays 0";

  // A small negative speed is raised once into that band, then kept.
  state.vitesseShipHorizontale = -0.03f;
  frames(50);
  EXPECT_NEAR(state.vitesseShipHorizontale, 0.02f, 1e-6f);
}

TEST_F(Controls, ReleasedLeftDecaysIntoTheKeptBand) {
  // In the frame Left is held, the unheld Right rule has already taken 0.05 off.
  frame({key::LEFT});
  EXPECT_NEAR(state.vitesseShipHorizontale, -0.15f, 1e-6f);
  frames(10);
  const float kept = state.vitesseShipHorizontale;
  EXPECT_GE(kept, 0.0f);
  EXPECT_LE(kept, 0.05f);
  frames(30);
  EXPECT_EQ(state.vitesseShipHorizontale, kept);
}

TEST_F(Controls, VerticalMirrorsItWithTheNonPositiveRuleFirst) {
  frame({key::UP});
  EXPECT_EQ(state.vitesseShipVerticale, -0.1f);
  frames(30);
  EXPECT_EQ(state.vitesseShipVerticale, -0.05f) << "one frame of Up: the ship keeps rising";
  EXPECT_EQ(state.ship->GetLinearVelocity().y, -0.05f);

  for (float v : {0.0f, -0.01f, -0.03f, -0.05f}) {
    state.vitesseShipVerticale = v;
    frames(50);
    EXPECT_NEAR(state.vitesseShipVerticale, v, 1e-6f) << v;
  }
  state.vitesseShipVerticale = 0;
  frames(50);
  EXPECT_EQ(state.vitesseShipVerticale, 0.0f);

  // Down: the unheld Up rule adds 0.05 first in the same frame.
  frame({key::DOWN});
  EXPECT_NEAR(state.vitesseShipVerticale, 0.15f, 1e-6f);
  frames(10);
  const float kept = state.vitesseShipVerticale;
  EXPECT_GE(kept, -0.05f);
  EXPECT_LE(kept, 0.0f);
  frames(30);
  EXPECT_EQ(state.vitesseShipVerticale, kept);

  state.vitesseShipVerticale = 0;
  frames(4, {key::UP});
  EXPECT_NEAR(state.vitesseShipVerticale, -0.4f, 1e-5f);
}

TEST_F(Controls, ArrowStepsBringTheShipBackInsideEveryEdge) {
  state.ship->SetTransform(b2Vec2(-5, -3), 0);
  state.vitesseShipHorizontale = -2;
  state.vitesseShipVerticale = -2;
  frame();
  EXPECT_EQ(state.ship->GetPosition(), b2Vec2(0.1f, 0.1f));
  EXPECT_EQ(state.ship->GetLinearVelocity(), b2Vec2(0, 0));

  // Right and bottom too, even with the arrows still held.
  state.ship->SetTransform(b2Vec2(131, 97), 0);
  state.vitesseShipHorizontale = 2;
  state.vitesseShipVerticale = 2;
  frame({key::RIGHT, key::DOWN});
  EXPECT_EQ(state.ship->GetPosition(), b2Vec2(127.9f, 93.9f));
  // The speeds start again from 0: Right's ramp; Up's decay rule, then Down's ramp.
  EXPECT_NEAR(state.ship->GetLinearVelocity().x, 0.1f, 1e-6f);
  EXPECT_NEAR(state.ship->GetLinearVelocity().y, 0.15f, 1e-6f);
}

// ---- wheels ----

TEST_F(Controls, WheelSpeedAccumulatesInSinglePrecisionAndResets) {
  frames(3, {key::KP6});
  EXPECT_EQ(state.speed, 0.0f) << "no car, nothing to drive";

  ConsoleCapture quiet;
  press(key::C, 640, 470);
  float expected = 0;
  for (int i = 0; i < 37; ++i) {
    frame({key::KP6});
    expected += 0.15f;
  }
  EXPECT_EQ(state.speed, expected);
  EXPECT_NEAR(state.speed, 0.15 * 37, 1e-4);
  EXPECT_EQ(state.wheel->GetMotorSpeed(), expected);
  EXPECT_EQ(state.wheel12->GetMotorSpeed(), expected);

  for (int i = 0; i < 50; ++i) {
    frame({key::KP4});
    expected -= 0.15f;
  }
  EXPECT_EQ(state.speed, expected);
  EXPECT_NEAR(state.speed, -0.15 * 13, 1e-4);
  EXPECT_EQ(state.wheel12->GetMotorSpeed(), expected);

  frame({key::DOWN});
  EXPECT_EQ(state.speed, 0.0f);
  EXPECT_EQ(state.wheel->GetMotorSpeed(), 0.0f);
  EXPECT_EQ(state.wheel12->GetMotorSpeed(), 0.0f);

  frames(4, {key::KP6});
  frame({key::KP8});
  EXPECT_EQ(state.speed, 0.0f);
  EXPECT_EQ(state.wheel->GetMotorSpeed(), 0.0f);
}

TEST_F(Controls, WheelKeysLockTheCraneOnlyWhenThereAreWheelsToDrive) {
  hangCraneCar();
  destroyBody(state, state.wheel->GetBodyB());
  destroyBody(state, state.wheel12->GetBodyB());
  ASSERT_EQ(state.wheel, nullptr);
  ASSERT_EQ(state.wheel12, nullptr);

  // Held, the three keys lock only through their wheel branch, which has nothing to drive.
  frame({key::KP6, key::KP4, key::KP8});
  for (b2RevoluteJoint* j : craneJoints()) EXPECT_EQ(j->GetMaxMotorTorque(), 10000.0f);

  frame({key::KP6, key::KP4});
  for (b2RevoluteJoint* j : craneJoints()) EXPECT_EQ(j->GetMaxMotorTorque(), 1000000.0f);
}

// ---- crane ----

TEST_F(Controls, EachCraneKeyDrivesItsJointOnlyWhileHeld) {
  hangCraneCar();
  struct Case {
    int key;
    b2RevoluteJoint* joint;
    float speed;
  };
  const Case cases[] = {
      {key::KP3, state.wheelBras, 0.3f},        {key::KP1, state.wheelBras, -0.3f},
      {key::KP9, state.wheelSecondBras, 0.3f},  {key::KP7, state.wheelSecondBras, -0.3f},
      {key::KP5, state.wheelPoignet, 0.3f},     {key::KP_ENTER, state.wheelPoignet, -0.3f},
      {key::KP0, state.wheelPouce, -0.3f},      {key::KP0, state.wheelIndex, 0.3f},
      {key::KP_PERIOD, state.wheelPouce, 0.3f}, {key::KP_PERIOD, state.wheelIndex, -0.3f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    frame({c.key});
    EXPECT_EQ(c.joint->GetMotorSpeed(), c.speed);
    const bool fingers = c.key == key::KP0 || c.key == key::KP_PERIOD;
    for (b2RevoluteJoint* j : craneJoints()) {
      if (j != c.joint && !fingers) {
        EXPECT_EQ(j->GetMotorSpeed(), 0.0f);
      }
    }
    frame();
    for (b2RevoluteJoint* j : craneJoints()) EXPECT_EQ(j->GetMotorSpeed(), 0.0f);
  }
  EXPECT_EQ(state.wheelBras->GetMaxMotorTorque(), 1000000.0f);
}

TEST_F(Controls, WhenTwoKeysDriveOneJointTheLaterStepWins) {
  hangCraneCar();
  frame({key::KP3, key::KP1});
  EXPECT_EQ(state.wheelBras->GetMotorSpeed(), -0.3f);
  frame({key::KP1, key::KP2});
  EXPECT_EQ(state.wheelBras->GetMotorSpeed(), 0.0f);
  frame({key::KP9, key::KP7});
  EXPECT_EQ(state.wheelSecondBras->GetMotorSpeed(), -0.3f);
  frame({key::KP5, key::KP_ENTER});
  EXPECT_EQ(state.wheelPoignet->GetMotorSpeed(), -0.3f);
  frame({key::KP0, key::KP_PERIOD});
  EXPECT_EQ(state.wheelPouce->GetMotorSpeed(), 0.3f);
  EXPECT_EQ(state.wheelIndex->GetMotorSpeed(), -0.3f);
}

TEST_F(Controls, AllEightCraneKeysHeldLeaveTheMotorsUnzeroed) {
  hangCraneCar();
  // Without the finger, the thumb is driven by nothing, so only the zeroing can change it.
  destroyBody(state, state.Index);
  ASSERT_EQ(state.wheelIndex, nullptr);

  state.wheelPouce->SetMotorSpeed(0.7f);
  frame(kAllEightCraneKeys);
  EXPECT_EQ(state.wheelPouce->GetMotorSpeed(), 0.7f);
  EXPECT_EQ(state.wheelBras->GetMotorSpeed(), -0.3f);
  EXPECT_EQ(state.wheelSecondBras->GetMotorSpeed(), -0.3f);
  EXPECT_EQ(state.wheelPoignet->GetMotorSpeed(), -0.3f);

  // Keypad 2 is not one of the eight.
  frame({key::KP1, key::KP3, key::KP7, key::KP9, key::KP5, key::KP_ENTER, key::KP0, key::KP_PERIOD,
         key::KP2});
  EXPECT_EQ(state.wheelPouce->GetMotorSpeed(), 0.7f);
  EXPECT_EQ(state.wheelBras->GetMotorSpeed(), 0.0f);

  frame({key::KP1, key::KP3, key::KP7, key::KP9, key::KP5, key::KP_ENTER, key::KP0});
  EXPECT_EQ(state.wheelPouce->GetMotorSpeed(), 0.0f) << "seven of eight: zeroed";
}

// Without a keypad: the number row's 0 to 9 and the full stop stand in for the
// keypad's, Return for its Enter.
TEST_F(Controls, NumberRowFullStopAndReturnActAsTheKeypad) {
  hangCraneCar();
  // The wheels' common speed and every motor after one frame with this key held.
  auto motorsAfter = [&](int held) {
    state.speed = 0;
    frame({held});
    std::vector<float> motors{state.speed, state.wheel->GetMotorSpeed()};
    for (b2RevoluteJoint* j : craneJoints()) motors.push_back(j->GetMotorSpeed());
    return motors;
  };
  const std::vector<float> idle = motorsAfter(key::SPACE + 1);  // a key that does nothing
  for (int digit = 0; digit <= 9; ++digit) {
    SCOPED_TRACE(digit);
    const std::vector<float> keypad = motorsAfter(key::KP0 + digit);
    EXPECT_EQ(motorsAfter(key::NUM0 + digit), keypad);
    if (digit != 2 && digit != 8) {
      EXPECT_NE(keypad, idle) << "keypad 2 and 8 only stop things";
    }
    EXPECT_EQ(keypadKeyFor(key::NUM0 + digit), key::KP0 + digit) << "a press too";
  }
  for (auto [standIn, keypad] :
       {std::pair{key::PERIOD, key::KP_PERIOD}, {key::RETURN, key::KP_ENTER}}) {
    SCOPED_TRACE(standIn);
    EXPECT_NE(motorsAfter(keypad), idle);
    EXPECT_EQ(motorsAfter(standIn), motorsAfter(keypad));
    EXPECT_EQ(keypadKeyFor(standIn), keypad);
  }

  // The eight crane keys held at once, half of them from the number row, leave
  // the motors as they are.
  state.wheelPouce->SetMotorSpeed(0.7f);
  destroyBody(state, state.Index);
  frame(
      {key::KP1, key::NUM0 + 3, key::KP7, key::NUM9, key::KP5, key::RETURN, key::KP0, key::PERIOD});
  EXPECT_EQ(state.wheelPouce->GetMotorSpeed(), 0.7f);
}

TEST_F(Controls, WithoutTheCarTheSurvivingCraneJointsStillStopWhenTheirKeyIsReleased) {
  hangCraneCar();
  ConsoleCapture quiet;
  press(key::D);
  press(key::D);
  press(key::D);  // the chassis goes, and wheelBras with it
  ASSERT_EQ(state.wheelBras, nullptr);

  frame({key::KP9});
  EXPECT_EQ(state.wheelSecondBras->GetMotorSpeed(), 0.3f) << "the other arm keys still work";
  state.wheelPoignet->SetMotorSpeed(0.7f);
  frame();
  for (b2RevoluteJoint* j : craneJoints()) {
    if (j) {
      EXPECT_EQ(j->GetMotorSpeed(), 0.0f);
    }
  }
}

TEST_F(Controls, ASleepingCraneCarWakesInTheNextFrame) {
  b2BodyDef floorDef;
  b2Body* floor = state.world->CreateBody(&floorDef);
  b2PolygonShape floorBox;
  floorBox.SetAsBox(200, 1, b2Vec2(64, 96), 0);
  floor->CreateFixture(&floorBox, 0);
  hangCraneCar();
  ConsoleCapture quiet;
  press(key::J);  // dropped: the car rests on the floor, away from the ship
  for (int i = 0; i < 100; ++i) {
    frame();
    step();
  }

  // Asleep, the car would not be pushed out of ground or debris made inside it.
  for (b2Body* b = state.world->GetBodyList(); b; b = b->GetNext()) b->SetAwake(false);
  frame();
  step();
  EXPECT_TRUE(state.car->IsAwake());
}

// ---- B, J and D through the states of the car and its cable ----

TEST_F(Controls, WithoutACraneCarJSaysSoAndDOnlyRemovesPlainCarWheels) {
  ConsoleCapture console;
  press(key::J);
  EXPECT_EQ(console.lines(), Lines{"TOTO2"});

  console.clear();
  const int before = bodyCount();
  press(key::D);
  EXPECT_EQ(console.text(), "");
  EXPECT_EQ(bodyCount(), before);

  press(key::C, 640, 470);
  console.clear();
  press(key::D);
  EXPECT_EQ(console.lines(), Lines{"DESTROY wheel1 = OK"});
  EXPECT_EQ(bodyCount(), before + 1) << "the plain car's chassis stays";
  EXPECT_EQ(state.wheel1, nullptr);
  EXPECT_EQ(state.wheel2, nullptr);
  EXPECT_EQ(state.wheel, nullptr);
  EXPECT_EQ(state.wheel12, nullptr);
  EXPECT_EQ(state.ship->GetGravityScale(), 0.0f);
}

TEST_F(Controls, BMakesTheCraneCarFiveMetresBelowTheShipAndHangsIt) {
  // Pixel coordinates are truncated: 153.7 px and 899.9 px.
  state.ship->SetTransform(b2Vec2(15.37f, 84.99f), 0);
  ConsoleCapture console;
  press(key::B);
  EXPECT_EQ(console.text(), "");
  ASSERT_NE(state.car, nullptr);
  EXPECT_EQ(state.car->GetPosition(), b2Vec2(153 * 0.1f, 899 * 0.1f));
  EXPECT_EQ(state.ship->GetGravityScale(), -0.09f);

  const b2Vec2 shipAnchors[] = {{-1, 15}, {1, 15}};
  const b2Vec2 carAnchors[] = {{-1, 0}, {1, 0}};
  b2Joint* cables[] = {state.distanceJoint, state.distanceJoint2};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    ASSERT_NE(cables[i], nullptr);
    auto* cable = static_cast<b2DistanceJoint*>(cables[i]);
    EXPECT_EQ(cable->GetBodyA(), state.ship);
    EXPECT_EQ(cable->GetBodyB(), state.car);
    EXPECT_EQ(cable->GetLocalAnchorA(), shipAnchors[i]);
    EXPECT_EQ(cable->GetLocalAnchorB(), carAnchors[i]);
    EXPECT_FALSE(cable->GetCollideConnected());
  }
  EXPECT_TRUE(handlesNameLiveObjects(state));
}

TEST_F(Controls, HangingCarBChangesGravityOnlyJDropsItDCutsTheLeftCable) {
  hangCraneCar();
  b2Body* car = state.car;
  b2Joint* right = state.distanceJoint2;
  const int bodies = bodyCount();
  ConsoleCapture console;

  state.ship->SetGravityScale(0);
  press(key::B);
  EXPECT_EQ(state.ship->GetGravityScale(), -0.09f);
  EXPECT_EQ(state.car, car);
  EXPECT_EQ(bodyCount(), bodies);

  press(key::D);
  EXPECT_EQ(state.distanceJoint, nullptr);
  EXPECT_EQ(state.distanceJoint2, right);
  EXPECT_EQ(console.text(), "") << "cables are cut silently";

  hangCraneCar();  // B again does not re-hang: still one cable
  EXPECT_EQ(state.distanceJoint, nullptr);

  press(key::J);
  EXPECT_EQ(console.text(), "") << "J with one cable left does nothing";
  EXPECT_EQ(state.distanceJoint2, right);

  press(key::D);
  EXPECT_EQ(state.distanceJoint2, nullptr);
  EXPECT_EQ(console.text(), "");
  EXPECT_EQ(state.car, car);
  EXPECT_EQ(bodyCount(), bodies);
}

TEST_F(Controls, JDropsTheHangingCar) {
  hangCraneCar();
  ConsoleCapture console;
  press(key::J);
  EXPECT_EQ(console.lines(), Lines{"TOTO "});
  EXPECT_EQ(state.distanceJoint, nullptr);
  EXPECT_EQ(state.distanceJoint2, nullptr);
  EXPECT_NE(state.car, nullptr);
  EXPECT_EQ(state.world->GetJointCount(), 7) << "wheels and crane only";
}

TEST_F(Controls, JOnADroppedCarMovesTheShipAboveItAndHangsItAgain) {
  hangCraneCar();
  ConsoleCapture console;
  press(key::J);
  state.car->SetTransform(b2Vec2(42, 80), 0);
  console.clear();

  press(key::J);
  EXPECT_EQ(console.lines(), Lines{"TOTO1"});
  EXPECT_EQ(state.ship->GetPosition(), b2Vec2(42, 1));
  EXPECT_EQ(state.ship->GetAngle(), 0.0f);
  ASSERT_NE(state.distanceJoint, nullptr);
  ASSERT_NE(state.distanceJoint2, nullptr);
  EXPECT_TRUE(handlesNameLiveObjects(state));
}

TEST_F(Controls, DOnADroppedCarDestroysThePlainWheelsAndTheCar) {
  ConsoleCapture console;
  press(key::C, 900, 300);
  hangCraneCar();
  press(key::J);
  b2Body* arm = state.baseBras;
  console.clear();

  hangCraneCar();  // B on a dropped car: gravity only
  EXPECT_EQ(state.distanceJoint, nullptr);
  EXPECT_EQ(state.ship->GetGravityScale(), -0.09f);

  press(key::D);
  EXPECT_EQ(console.lines(), (Lines{"DESTROY wheel1 = OK", "DESTROY CAR = EN COURS", "TOTO"}));
  EXPECT_EQ(state.car, nullptr);
  EXPECT_EQ(state.wheel1, nullptr);
  EXPECT_EQ(state.wheel2, nullptr);
  EXPECT_EQ(state.wheel, nullptr);
  EXPECT_EQ(state.wheel12, nullptr);
  EXPECT_EQ(state.wheelBras, nullptr);
  EXPECT_EQ(state.baseBras, arm) << "the crane's segments outlive the chassis";
  EXPECT_NE(state.wheelSecondBras, nullptr);
  EXPECT_EQ(state.ship->GetGravityScale(), 0.0f);
  EXPECT_TRUE(handlesNameLiveObjects(state));

  console.clear();
  press(key::D);
  press(key::J);
  EXPECT_EQ(console.lines(), Lines{"TOTO2"}) << "D has nothing left to destroy";
}

// ---- C, R, Escape, other keys ----

TEST_F(Controls, CMakesAPlainCarUnderThePointer) {
  PinnedClock clock(secondWhereRandABGives(0, 101, 90));  // iron
  ConsoleCapture console;
  press(key::C, 320, 450);
  EXPECT_EQ(console.lines(), Lines{"90"});
  ASSERT_NE(state.wheel, nullptr);
  b2Body* chassis = state.wheel->GetBodyA();
  EXPECT_EQ(chassis->GetPosition(), b2Vec2(32, 45));
  EXPECT_EQ(chassis->GetFixtureList()->GetDensity(), 7.87f);
  EXPECT_EQ(state.wheel1->GetPosition(), b2Vec2(322 * 0.1f, 450 * 0.1f));
  EXPECT_EQ(state.car, nullptr);

  // The crane car takes over the wheel joints; the plain wheels keep their handles.
  b2Body* plainWheel = state.wheel1;
  hangCraneCar();
  EXPECT_EQ(state.wheel->GetBodyA(), state.car);
  EXPECT_EQ(state.wheel12->GetBodyA(), state.car);
  EXPECT_EQ(state.wheel1, plainWheel);
}

TEST_F(Controls, COncePerFrameAndPastTheLimitTheOldestPlainCarGoes) {
  ConsoleCapture console;
  const int scene = bodyCount();
  std::vector<b2Body*> chassis;
  for (int i = 0; i < kPlainCarLimit; ++i, frame()) {
    for (int burst = 0; burst < 3; ++burst) press(key::C, 640, 470);
    chassis.push_back(state.wheel->GetBodyA());
  }
  EXPECT_EQ(bodyCount(), scene + 3 * kPlainCarLimit) << "one car a frame, all kept";

  // The edge removal takes a wheel of the oldest; the next car takes the rest of it.
  state.plainCars.front()[1]->SetTransform(b2Vec2(-1, 10), 0);
  walkBodies(state, nullptr);
  press(key::C, 640, 470);
  EXPECT_EQ(bodyCount(), scene + 3 * kPlainCarLimit);
  EXPECT_EQ(state.plainCars.front()[0], chassis[1]);
  EXPECT_EQ(state.wheel->GetBodyA(), state.plainCars.back()[0]);
  EXPECT_EQ(console.lines().size(), static_cast<size_t>(kPlainCarLimit + 1)) << "draws only";
  EXPECT_TRUE(handlesNameLiveObjects(state));
}

TEST_F(Controls, RTurnsTheListedBodiesDynamic) {
  ConsoleCapture quiet;
  b2Body* a = addRect1(state, 300, 300, 20, 20, false);
  b2Body* b = addRect1(state, 400, 300, 20, 20, false);
  b2Body* unlisted = addRect1(state, 500, 300, 20, 20, false);
  press(key::R);
  EXPECT_EQ(a->GetType(), b2_staticBody) << "BODY starts empty";

  state.BODY = {a, b};
  press(key::R);
  EXPECT_EQ(a->GetType(), b2_dynamicBody);
  EXPECT_EQ(b->GetType(), b2_dynamicBody);
  EXPECT_EQ(unlisted->GetType(), b2_staticBody);

  destroyBody(state, a);
  EXPECT_EQ(state.BODY, std::vector<b2Body*>{b}) << "a destroyed body leaves the list";
}

TEST_F(Controls, EscapeEndsTheLoopAndOtherKeysDoNothing) {
  state.running = true;
  ConsoleCapture console;
  const int bodies = bodyCount();
  for (int symbol : {-1, 0, 97, key::KP6, key::SPACE, key::COUNT, 100000}) press(symbol);
  EXPECT_TRUE(state.running);
  EXPECT_EQ(bodyCount(), bodies);
  EXPECT_EQ(console.text(), "");
  press(key::ESCAPE);
  EXPECT_FALSE(state.running);
}

// ---- P and O: stopped time ----

TEST_F(Controls, StoppedTimeStepsNothingAndOPlaysExactlyOneOrdinaryFrame) {
  ConsoleCapture quiet;
  b2Body* box = addRect(state, 500, 200, 20, 20, true);
  b2Body* atEdge = addRect(state, 300, 200, 20, 20, true);
  atEdge->SetTransform(b2Vec2(0, 20), 0);  // the walk's edge removal takes it
  const float cursor = state.bordGaucheEcran;
  const int bodies = bodyCount();
  std::array<unsigned char, key::COUNT> keys{};
  keys[key::RIGHT] = keys[key::SPACE] = 1;
  FrameProbe painter;

  press(key::O);  // not owed: time runs
  press(key::P);
  for (int i = 0; i < 5; ++i) playFrame(state, keys.data(), &painter);
  EXPECT_EQ(box->GetLinearVelocity(), b2Vec2(0, 0));
  EXPECT_EQ(state.vitesseShipHorizontale, 0.0f) << "held keys wait";
  EXPECT_EQ(state.bordGaucheEcran, cursor) << "no scroll";
  EXPECT_EQ(bodyCount(), bodies) << "no removal";
  EXPECT_EQ(painter.frames, 5);
  EXPECT_EQ(painter.painted, 5 * bodies) << "the picture is still drawn";

  press(key::B);  // keys that make and cut still act
  EXPECT_NE(state.car, nullptr);
  const size_t cars = state.plainCars.size();
  press(key::C, 400, 300);
  playFrame(state, keys.data(), &painter);
  press(key::C, 700, 300);
  EXPECT_EQ(state.plainCars.size(), cars + 2) << "one plain car a stopped frame";

  press(key::O);
  for (int i = 0; i < 3; ++i) playFrame(state, keys.data(), &painter);
  const float oneStep = state.GRAVITY * kFrameSeconds;
  EXPECT_FLOAT_EQ(box->GetLinearVelocity().y, oneStep);
  EXPECT_EQ(state.vitesseShipHorizontale, 0.1f);
  EXPECT_GT(state.bordGaucheEcran, cursor);
  for (const b2Body* b = state.world->GetBodyList(); b; b = b->GetNext())
    EXPECT_GT(b->GetPosition().x, 0.0f) << "the edge removal ran";

  press(key::P);
  playFrame(state, keys.data(), &painter);
  EXPECT_FLOAT_EQ(box->GetLinearVelocity().y, 2 * oneStep);
}

// ---- the mouse ----

TEST_F(Controls, AGrabbedBoxFollowsThePointerUpWhateverItsMassAndFallsWhenLetGo) {
  ConsoleCapture quiet;
  for (float density : {0.97f, 21.45f}) {  // the lightest and the heaviest metal
    SCOPED_TRACE(density);
    b2Body* box = addRect(state, 500, 600, 20, 20, true);
    box->GetFixtureList()->SetDensity(density);
    box->ResetMassData();
    const int bodies = bodyCount();

    grabBody(state, 505, 603);  // off centre: held at that point
    ASSERT_TRUE(grabbing(state));
    dragBody(state, 505, 300);
    const b2Vec2 held = box->GetLocalPoint(b2Vec2(50.5f, 60.3f));
    for (int i = 0; i < 40; ++i) playFrame(state, noKeys.data());
    EXPECT_NEAR(box->GetWorldPoint(held).x, 50.5f, 0.2f);
    EXPECT_NEAR(box->GetWorldPoint(held).y, 30.0f, 0.2f);

    releaseBody(state);
    EXPECT_FALSE(grabbing(state));
    EXPECT_EQ(state.mouseJoint, nullptr);
    EXPECT_EQ(bodyCount(), bodies);
    for (int i = 0; i < 20; ++i) playFrame(state, noKeys.data());
    EXPECT_GT(box->GetPosition().y, 33.0f);
    destroyBody(state, box);
  }

  // Neither the ship, nor a static body, nor empty sky.
  addRect1(state, 800, 500, 40, 40, false);
  for (const b2Vec2 p : {b2Vec2(150, 840), b2Vec2(800, 500), b2Vec2(1000, 100)}) {
    grabBody(state, static_cast<int>(p.x), static_cast<int>(p.y));
    EXPECT_FALSE(grabbing(state)) << p.x << ", " << p.y;
  }
}

TEST_F(Controls, AGrabbedCarDestroyedByDEndsTheGrabAndTheDragGoesOnSafely) {
  hangCraneCar();
  ConsoleCapture quiet;
  const int bodies = bodyCount();
  const b2Vec2 car = M2P * state.car->GetPosition();
  grabBody(state, static_cast<int>(car.x), static_cast<int>(car.y));
  ASSERT_EQ(state.mouseJoint->GetBodyB(), state.car);
  EXPECT_TRUE(handlesNameLiveObjects(state));
  for (int i = 0; i < 3; ++i) press(key::D);
  EXPECT_EQ(state.mouseJoint, nullptr);
  EXPECT_TRUE(grabbing(state)) << "until the button comes up";
  for (int i = 0; i < 5; ++i) {
    dragBody(state, 600 - 10 * i, 400);
    playFrame(state, noKeys.data());
    EXPECT_TRUE(handlesNameLiveObjects(state));
  }
  releaseBody(state);
  EXPECT_FALSE(grabbing(state));
  EXPECT_EQ(bodyCount(), bodies - 1) << "the chassis gone, and no stray ground";
}

// ---- Space, on the real first scene ----

class SpaceKey : public ::testing::Test {
 protected:
  SpaceKey() : clock(1234567) {
    ConsoleCapture quiet;
    state = std::make_unique<State>();
    createWorld(*state);
    buildFirstScene(*state);
  }

  int groundPieces() const {
    int n = 0;
    for (const b2Body* b = state->world->GetBodyList(); b; b = b->GetNext())
      if (b->GetType() == b2_staticBody && b->GetFixtureList()->GetDensity() == 0) ++n;
    return n;
  }
  void frame(std::initializer_list<int> held) {
    std::array<unsigned char, key::COUNT> keys{};
    for (int k : held) keys[k] = 1;
    ConsoleCapture quiet;
    applyHeldKeys(*state, keys.data());
  }

  PinnedClock clock;
  std::unique_ptr<State> state;
};

TEST_F(SpaceKey, SpaceShiftsTheWorldOnePixelLeftAndAddsOneColumn) {
  b2Body* floor = nullptr;
  for (b2Body* b = state->world->GetBodyList(); b; b = b->GetNext())
    if (b->GetType() == b2_staticBody) floor = b;  // the oldest: the floor's first piece
  ASSERT_NE(floor, nullptr);
  const b2Vec2 before = floor->GetPosition();
  const int pieces = groundPieces();

  frame({});
  EXPECT_EQ(floor->GetPosition(), before);
  EXPECT_EQ(groundPieces(), pieces);

  frame({key::SPACE});
  EXPECT_NEAR(floor->GetPosition().x, before.x - 0.1f, 1e-5f);
  EXPECT_EQ(floor->GetPosition().y, before.y);
  EXPECT_EQ(groundPieces(), pieces + 1);
  EXPECT_EQ(state->bordGaucheEcran, 1280 + 10 * 0.1f * 0.001f);

  frame({key::SPACE});
  EXPECT_NEAR(floor->GetPosition().x, before.x - 0.2f, 1e-5f);
  EXPECT_EQ(groundPieces(), pieces + 2);
}

TEST_F(SpaceKey, ShipAtTheLeftEdgeSurvivesTheScrollAndTheEdgeRemoval) {
  b2Body* ship = state->ship;
  ship->SetTransform(b2Vec2(0.1f, 50), 0);
  std::array<unsigned char, key::COUNT> keys{};
  keys[key::SPACE] = keys[key::LEFT] = 1;
  FrameProbe probe;
  probe.afterWalk = [&] {
    ASSERT_EQ(state->ship, ship);
    EXPECT_GT(ship->GetPosition().x, 0.0f);
  };
  ConsoleCapture quiet;
  for (int i = 0; i < 5 && !HasFailure(); ++i) playFrame(*state, keys.data(), &probe);
}

namespace {

// Frames with Space and Right held at the given speed, in a world of its own:
// the ship's place drawn in each picture, and every body's place at the end.
struct SpeedRun : BodyPainter {
  const State* state = nullptr;
  std::vector<float> drawnX;
  std::vector<b2Vec2> places;
  void paint(b2Body* body) override {
    if (body == state->ship) drawnX.push_back(drawnPose(*state, body).position.x);
  }
};

SpeedRun runAt(int shift, int pictures) {
  ConsoleCapture quiet;
  PinnedClock clock(1700000000);
  State state;
  createWorld(state);
  init_TABLEAU_DES_DENSITES(state.TABLEAU_DES_DENSITES);
  state.ship = makeShip(state, 150, 400);
  onKeyPress(state, key::B, 0, 0);
  const int toward = shift < 0 ? key::LEFTBRACKET : key::RIGHTBRACKET;  // three on, back to shift
  for (int i = 0; i < 3; ++i) onKeyPress(state, toward, 0, 0);
  for (int i = 3; i > std::abs(shift); --i)
    onKeyPress(state, shift < 0 ? key::RIGHTBRACKET : key::LEFTBRACKET, 0, 0);
  EXPECT_EQ(state.speedShift, shift);
  std::array<unsigned char, key::COUNT> keys{};
  keys[key::SPACE] = keys[key::RIGHT] = 1;
  SpeedRun run;
  run.state = &state;
  for (int i = 0; i < pictures; ++i) playFrame(state, keys.data(), &run);
  for (const b2Body* b = state.world->GetBodyList(); b; b = b->GetNext())
    run.places.push_back(b->GetPosition());
  return run;
}

}  // namespace

// The step stays one length: at x4 a picture plays four frames, at 1/4 one
// frame in four, and either ends where full speed does; slow motion draws the
// frames between two steps between their places, not the same picture again.
TEST(Speed, SlowAndFastStepTheSamePhysicsAndSlowMotionDrawsBetweenSteps) {
  const SpeedRun full = runAt(0, 48), fast = runAt(2, 12), slow = runAt(-2, 192);
  ASSERT_GT(full.places.size(), 50u);  // the crane car, the terrain's columns, debris
  EXPECT_TRUE(fast.places == full.places);
  EXPECT_TRUE(slow.places == full.places);
  EXPECT_EQ(fast.drawnX.size(), 12u);
  ASSERT_EQ(slow.drawnX.size(), 192u);
  for (size_t i = 9; i < slow.drawnX.size(); ++i)
    ASSERT_NE(slow.drawnX[i], slow.drawnX[i - 1]) << "picture " << i << " repeats the one before";
  EXPECT_NEAR(slow.drawnX[40], full.drawnX[10], 1e-4f);
}
