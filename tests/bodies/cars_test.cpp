#include "bodies/cars.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bodies/ship.h"
#include "fixtures/body_bounds.h"
#include "fixtures/world_fixture.h"
#include "game/controls.h"
#include "game/frame.h"
#include "game/keys.h"
#include "support/console_capture.h"
#include "support/pinned_clock.h"
#include "terrain/terrain.h"

namespace {

class Cars : public WorldTest {
 protected:
  struct WheelSpec {
    b2WheelJoint* joint;
    b2Vec2 wheelAt, anchor;
    float torque, dampingRatio;
  };

  // A wheel as built, before any step: where the wheel body was made, and its joint.
  static void expectWheel(const WheelSpec& w, b2Body* chassis) {
    ASSERT_NE(w.joint, nullptr);
    EXPECT_EQ(w.joint->GetBodyA(), chassis);
    b2Body* wheel = w.joint->GetBodyB();
    EXPECT_EQ(wheel->GetType(), b2_dynamicBody);
    EXPECT_NEAR(wheel->GetPosition().x, w.wheelAt.x, 1e-5f);
    EXPECT_NEAR(wheel->GetPosition().y, w.wheelAt.y, 1e-5f);
    const b2Fixture* f = wheel->GetFixtureList();
    ASSERT_EQ(f->GetType(), b2Shape::e_circle);
    EXPECT_FLOAT_EQ(f->GetShape()->m_radius, 0.8f);

    EXPECT_EQ(w.joint->GetLocalAnchorA(), w.anchor);
    EXPECT_EQ(w.joint->GetLocalAnchorB(), b2Vec2(0, 0));
    EXPECT_EQ(w.joint->GetLocalAxisA(), b2Vec2(1, 0));
    EXPECT_TRUE(w.joint->IsMotorEnabled());
    EXPECT_EQ(w.joint->GetMotorSpeed(), 0.0f) << "a new car does not drive off";
    EXPECT_EQ(w.joint->GetMaxMotorTorque(), w.torque);
    EXPECT_FALSE(w.joint->GetCollideConnected());

    // A sprung joint whose damping / stiffness = 2 ratio / omega, whatever the mass.
    EXPECT_GT(w.joint->GetStiffness(), 0.0f);
    EXPECT_NEAR(w.joint->GetDamping() / w.joint->GetStiffness(), 2 * w.dampingRatio / kOmega,
                1e-5f);
  }

  static constexpr float kOmega = 2 * b2_pi * 1.6f;

  // A static floor whose top is at y metres.
  void addFloor(float y) {
    b2BodyDef def;
    b2Body* floor = state.world->CreateBody(&def);
    b2PolygonShape box;
    box.SetAsBox(200, 1, b2Vec2(64, y + 1), 0);
    floor->CreateFixture(&box, 0);
  }

  // Lengths of the two cable joints.
  std::array<float, 2> cableLengths() const {
    std::array<float, 2> out{};
    const b2Joint* cables[] = {state.distanceJoint, state.distanceJoint2};
    for (int i = 0; i < 2; ++i)
      out[i] = (cables[i]->GetAnchorA() - cables[i]->GetAnchorB()).Length();
    return out;
  }

  // Frames until the two cables average within 25 cm of 1 m, until both are
  // within 1 cm of it (or -1), and the ship's largest move in a frame after the second.
  struct ReelIn {
    int closed = -1, settled = -1;
    float shipStep = 0;
  };

  // Plays frames until the cables are reeled in (or maxFrames), checking that the
  // take-up is gradual: each rod corrects itself by at most 0.2 m in each of three
  // iterations, the other rod's corrections shorten it about as much again, and
  // the ship moves less than 1 m in any frame.
  ReelIn reelIn(int maxFrames) {
    const std::array<unsigned char, key::COUNT> none{};
    ReelIn r;
    std::array<float, 2> before = cableLengths();
    b2Vec2 ship = state.ship->GetPosition();
    for (int frame = 1; frame <= maxFrames; ++frame) {
      playFrame(state, none.data());
      const std::array<float, 2> now = cableLengths();
      for (int i = 0; i < 2; ++i) EXPECT_LT(before[i] - now[i], 1.25f) << "frame " << frame;
      const float step = (state.ship->GetPosition() - ship).Length();
      EXPECT_LT(step, 1) << "frame " << frame;
      if (frame > 2) r.shipStep = std::max(r.shipStep, step);
      if (r.closed < 0 && now[0] + now[1] < 2.5f) r.closed = frame;
      if (now[0] < 1.01f && now[1] < 1.01f) return r.settled = frame, r;
      before = now;
      ship = state.ship->GetPosition();
    }
    return r;
  }

  // The first scene's floor and ship: B builds the car standing on the floor.
  static void hangCarOverTheFloor(State& s) {
    createBase(s);
    s.ship = makeShip(s, 150, 840);
    onKeyPress(s, key::B, 0, 0);
    ASSERT_NE(s.car, nullptr);
  }

  // A touching contact between the crane car's hull and the arm beyond its pivot.
  static bool armOnHull(const State& s) {
    for (const b2ContactEdge* e = s.car->GetContactList(); e; e = e->next)
      for (const b2Body* segment : {s.secondBras, s.poignet, s.pouce, s.Index})
        if (e->other == segment && e->contact->IsTouching()) return true;
    return false;
  }
};

}  // namespace

TEST_F(Cars, PlainCarIsAMetalBoxOnTwoSprungWheels) {
  PinnedClock clock(secondWhereRandABGives(0, 101, 45));  // 40 ... 49: sodium
  ConsoleCapture console;
  b2Body* chassis = makeCar(state, 640, 470);

  EXPECT_EQ(console.lines(), std::vector<std::string>{"45"});
  EXPECT_EQ(chassis->GetType(), b2_dynamicBody);
  EXPECT_EQ(chassis->GetPosition(), b2Vec2(64, 47));
  EXPECT_EQ(chassis->GetFixtureList()->GetDensity(), 0.97f);
  expectBounds(polygonBounds(chassis), 62, 45, 66, 49);

  EXPECT_EQ(state.wheel->GetBodyB(), state.wheel1);
  EXPECT_EQ(state.wheel12->GetBodyB(), state.wheel2);
  expectWheel({state.wheel, {64.2f, 47}, {2, 1}, 300, 2}, chassis);
  expectWheel({state.wheel12, {63.8f, 47}, {-2, 1}, 100, 0}, chassis);
  EXPECT_EQ(state.car, nullptr) << "a plain car is not the crane car";
  EXPECT_EQ(bodyCount(), 3);
}

TEST_F(Cars, SecondPlainCarTakesTheHandlesAndTheFirstStays) {
  ConsoleCapture console;
  b2Body* first = makeCar(state, 300, 300);
  b2Body* second = makeCar(state, 800, 300);
  EXPECT_EQ(bodyCount(), 6);
  EXPECT_EQ(state.world->GetJointCount(), 4);
  EXPECT_EQ(state.wheel->GetBodyA(), second);
  EXPECT_EQ(state.wheel12->GetBodyA(), second);
  EXPECT_EQ(state.wheel1->GetPosition(), b2Vec2(802 * 0.1f, 300 * 0.1f));
  EXPECT_EQ(state.wheel2->GetPosition(), b2Vec2(798 * 0.1f, 300 * 0.1f));
  EXPECT_NE(first->GetJointList(), nullptr) << "the first car keeps its wheels";
}

TEST_F(Cars, CraneCarIsAWideHullWithTheCraneOnIt) {
  ConsoleCapture console;
  b2Body* chassis = makeCar2(state, 150, 890);
  EXPECT_TRUE(console.lines().empty()) << console.text();

  EXPECT_EQ(chassis->GetType(), b2_dynamicBody);
  EXPECT_EQ(chassis->GetPosition(), b2Vec2(15, 89));
  // The wide box is the head of the list, the one the renderer draws.
  const b2Fixture* wide = chassis->GetFixtureList();
  EXPECT_EQ(wide->GetDensity(), 0.99f);
  EXPECT_EQ(wide->GetFriction(), 0.2f);
  EXPECT_EQ(wide->GetRestitution(), 0.0f);
  expectBounds(polygonBounds(chassis), 11, 88.25f, 19, 89.75f);
  const b2Fixture* hull = wide->GetNext();
  ASSERT_NE(hull, nullptr);
  EXPECT_EQ(hull->GetNext(), nullptr);
  EXPECT_EQ(hull->GetDensity(), 0.99f);
  EXPECT_EQ(hull->GetRestitution(), 0.5f);
  const auto* hullBox = static_cast<const b2PolygonShape*>(hull->GetShape());
  for (int i = 0; i < hullBox->m_count; ++i) {
    EXPECT_FLOAT_EQ(std::abs(hullBox->m_vertices[i].x), 2);
    EXPECT_FLOAT_EQ(std::abs(hullBox->m_vertices[i].y), 0.75f);
  }

  expectWheel({state.wheel, {15.5f, 89}, {5, 5}, 100, 0}, chassis);
  expectWheel({state.wheel12, {14.5f, 89}, {-5, 5}, 100, 0}, chassis);
  EXPECT_EQ(state.wheel1, nullptr) << "the crane car's wheels have no handles";
  EXPECT_EQ(state.wheel2, nullptr);

  EXPECT_EQ(state.brasGrue, state.baseBras);
  ASSERT_NE(state.wheelBras, nullptr);
  EXPECT_EQ(state.wheelBras->GetBodyA(), chassis);
  EXPECT_EQ(bodyCount(), 8);
  EXPECT_EQ(state.world->GetJointCount(), 7);
}

TEST_F(Cars, PlainCarsSpringsPullTheWheelsOutToTheirAnchors) {
  b2BodyDef floorDef;
  b2Body* floor = state.world->CreateBody(&floorDef);
  b2PolygonShape floorBox;
  floorBox.SetAsBox(100, 1, b2Vec2(64, 60), 0);
  floor->CreateFixture(&floorBox, 0);
  PinnedClock clock(secondWhereRandABGives(0, 101, 90));  // an iron chassis
  ConsoleCapture console;
  b2Body* chassis = makeCar(state, 640, 470);

  // Both wheels are made 0.2 m from the centre; the springs pull them 2 m aside.
  step(200);
  const b2Vec2 right = chassis->GetLocalPoint(state.wheel1->GetPosition());
  const b2Vec2 left = chassis->GetLocalPoint(state.wheel2->GetPosition());
  EXPECT_NEAR(right.x, 2, 0.05f);
  EXPECT_NEAR(left.x, -2, 0.3f);
  EXPECT_NEAR(right.y, 1, 0.01f);
  EXPECT_NEAR(left.y, 1, 0.01f);
  // The springs are recomputed every step; each keeps its own damping ratio.
  EXPECT_NEAR(state.wheel->GetDamping() / state.wheel->GetStiffness(), 2 * 2 / kOmega, 1e-5f);
  EXPECT_EQ(state.wheel12->GetDamping(), 0.0f);
}

TEST_F(Cars, CraneCarSpringsAtRestFollowTheEffectiveMassAlongTheAxis) {
  // The wheels are made 4.5 m from their anchors: a spring set once, at creation,
  // would not fit the geometry they settle in.
  addFloor(60);
  makeCar2(state, 640, 540);
  step(200);
  // Box2D 2.3's effective mass along the axis gives 113.7 N/m for this car at
  // rest; the reduced mass of chassis and wheel would give 182.6.
  for (b2WheelJoint* j : {state.wheel, state.wheel12}) {
    EXPECT_NEAR(j->GetStiffness(), 113.7f, 0.02f * 113.7f);
    EXPECT_EQ(j->GetDamping(), 0.0f);
  }
}

TEST_F(Cars, HangingCraneCarIsReeledInGraduallyAndPickedUpAgain) {
  ConsoleCapture console;
  addFloor(60);
  state.ship = makeShip(state, 640, 200);  // high up, so the car hangs free
  onKeyPress(state, key::B, 0, 0);
  ASSERT_NE(state.car, nullptr);
  ASSERT_NE(state.distanceJoint, nullptr);
  ASSERT_NE(state.distanceJoint2, nullptr);

  // The car is made 10 m short of the cable's end; it is reeled in over frames.
  // In the air both bodies share each clamped push: 2.3 closes in 11 frames.
  const ReelIn reeled = reelIn(100);
  EXPECT_TRUE(reeled.closed >= 7 && reeled.closed <= 15) << reeled.closed;
  EXPECT_NE(reeled.settled, -1);
  const std::array<unsigned char, key::COUNT> none{};
  for (int frame = 0; frame < 300; ++frame) playFrame(state, none.data());
  // Each cable is a 1 m rod from 15 m below the ship's centre to the car.
  for (float length : cableLengths()) EXPECT_NEAR(length, 1, 0.01f);
  const b2Vec2 offset = state.car->GetPosition() - state.ship->GetPosition();
  EXPECT_GT(offset.y, 14);
  EXPECT_LT(offset.y, 16.1f);
  EXPECT_LT(std::abs(offset.x), 1.5f);
  EXPECT_LT((state.car->GetLinearVelocity() - state.ship->GetLinearVelocity()).Length(), 0.5f);

  // Dropped onto the floor and picked up from the top of the screen, over 30 m away.
  onKeyPress(state, key::J, 0, 0);
  for (int frame = 0; frame < 100; ++frame) playFrame(state, none.data());
  onKeyPress(state, key::J, 0, 0);
  ASSERT_NE(state.distanceJoint, nullptr);
  EXPECT_GT(cableLengths()[0], 30);
  EXPECT_NE(reelIn(200).settled, -1);
}

TEST_F(Cars, CraneCarOnTheFloorMovesOnlyTheShipAtTheClampedRate) {
  ConsoleCapture console;
  hangCarOverTheFloor(state);
  // The floor holds the car, so only the ship's share of each clamped push
  // counts: about 0.3 m a frame, 38 frames to close the 10 m on Box2D 2.3.
  const ReelIn reeled = reelIn(200);
  EXPECT_TRUE(reeled.closed >= 26 && reeled.closed <= 59) << reeled.closed;
  EXPECT_LT(reeled.shipStep, 0.5f);
}

TEST_F(Cars, DroppedCraneCarComesToRestWithItsArmOffTheHull) {
  const std::array<unsigned char, key::COUNT> none{};
  for (int hung : {30, 90, 150}) {
    SCOPED_TRACE("dropped after " + std::to_string(hung) + " frames");
    State s;
    createWorld(s);
    init_TABLEAU_DES_DENSITES(s.TABLEAU_DES_DENSITES);
    ConsoleCapture console;
    hangCarOverTheFloor(s);
    for (int frame = 0; frame < hung; ++frame) playFrame(s, none.data());
    onKeyPress(s, key::J, 0, 0);
    // The crane lock wakes it every frame it sleeps: it sleeps again 10 frames later.
    int asleep = 0;
    for (int frame = 0; frame < 800; ++frame) {
      playFrame(s, none.data());
      asleep += !s.car->IsAwake();
    }
    EXPECT_GE(asleep, 10);
    EXPECT_FALSE(armOnHull(s)) << "the arm rests on its own hull";
    const b2Vec2 settled = s.car->GetPosition();
    for (int frame = 0; frame < 400; ++frame) playFrame(s, none.data());
    EXPECT_LT((s.car->GetPosition() - settled).Length(), 0.001f) << "creeps at rest";
  }
}

TEST_F(Cars, CraneCarsOverlapsAreContactsAsItIsBuiltInProxyIdOrder) {
  addFloor(60);
  const b2Body* chassis = makeCar2(state, 640, 540);
  // Every fixture here has one child, so one broad-phase proxy. Each contact as
  // its two proxy ids, lower first, oldest first: Box2D's list is newest first.
  struct Proxies {
    const b2BroadPhase& broadPhase;
    std::map<const b2Fixture*, int32> of;
    bool QueryCallback(int32 id) {
      of[static_cast<const b2FixtureProxy*>(broadPhase.GetUserData(id))->fixture] = id;
      return true;
    }
  } proxies{state.world->GetContactManager().m_broadPhase, {}};
  proxies.broadPhase.Query(&proxies, b2AABB{b2Vec2(-1e3f, -1e3f), b2Vec2(1e3f, 1e3f)});
  const auto oldestFirst = [&] {
    std::vector<std::pair<int32, int32>> out;
    for (const b2Contact* c = state.world->GetContactList(); c; c = c->GetNext()) {
      const int32 a = proxies.of.at(c->GetFixtureA()), b = proxies.of.at(c->GetFixtureB());
      out.emplace(out.begin(), std::min(a, b), std::max(a, b));
    }
    return out;
  };

  // Made before any step, in ascending proxy ids; the arm lies across the hull as built.
  const std::vector<std::pair<int32, int32>> made = oldestFirst();
  ASSERT_GE(made.size(), 5u);
  EXPECT_TRUE(std::adjacent_find(made.begin(), made.end(), std::greater_equal<>()) == made.end());
  const b2ContactEdge* e = chassis->GetContactList();
  while (e && e->other != state.secondBras) e = e->next;
  EXPECT_NE(e, nullptr);

  // The step's own pair search finds them made: it keeps them first and adds none twice.
  step();
  std::vector<std::pair<int32, int32>> after = oldestFirst();
  ASSERT_GE(after.size(), made.size());
  EXPECT_TRUE(std::equal(made.begin(), made.end(), after.begin()));
  std::sort(after.begin(), after.end());
  EXPECT_TRUE(std::adjacent_find(after.begin(), after.end()) == after.end());
}
