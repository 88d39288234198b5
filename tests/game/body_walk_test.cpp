#include "game/body_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "bodies/walker.h"
#include "fixtures/world_fixture.h"
#include "game/controls.h"
#include "game/frame.h"
#include "game/keys.h"
#include "support/console_capture.h"
#include "support/pinned_clock.h"
#include "terrain/terrain.h"

namespace {

class BodyWalk : public WorldTest {
 protected:
  b2Body* boxAt(float x, float y, float density = 1) {
    b2BodyDef def;
    def.type = b2_dynamicBody;
    def.position.Set(x, y);
    b2Body* body = state.world->CreateBody(&def);
    b2PolygonShape shape;
    shape.SetAsBox(0.5f, 0.5f);
    body->CreateFixture(&shape, density);
    return body;
  }

  void join(b2Body* a, b2Body* b) {
    b2DistanceJointDef rod;
    rod.Initialize(a, b, a->GetPosition(), b->GetPosition());
    rod.minLength = rod.maxLength = rod.length;
    state.world->CreateJoint(&rod);
  }

  bool inWorld(const b2Body* body) const {
    for (const b2Body* b = state.world->GetBodyList(); b; b = b->GetNext())
      if (b == body) return true;
    return false;
  }
  bool inWorld(const b2Joint* joint) const {
    for (const b2Joint* j = state.world->GetJointList(); j; j = j->GetNext())
      if (j == joint) return true;
    return false;
  }
};

// Notes each body it is handed while the body still lives, and where it was.
class Recorder : public BodyPainter {
 public:
  void paint(b2Body* body) override {
    painted.push_back(body);
    x.push_back(body->GetPosition().x);
  }
  std::vector<b2Body*> painted;
  std::vector<float> x;
};

}  // namespace

TEST_F(BodyWalk, RemovesBodiesAtOrPastTheLeftEdgeAfterPaintingThem) {
  b2Body* past = boxAt(-3, 10);
  b2Body* atEdge = boxAt(0, 20);
  b2Body* inside = boxAt(0.001f, 30);
  Recorder recorder;
  walkBodies(state, &recorder);

  // Newest first, every body painted, the removed ones included.
  EXPECT_EQ(recorder.painted, (std::vector<b2Body*>{inside, atEdge, past}));
  EXPECT_EQ(recorder.x, (std::vector<float>{0.001f, 0, -3}));
  EXPECT_EQ(bodyCount(), 1);
  EXPECT_TRUE(inWorld(inside));
  EXPECT_FLOAT_EQ(inside->GetPosition().x, 0.001f);

  walkBodies(state, nullptr);  // headless, as the benchmarks run it
  EXPECT_EQ(bodyCount(), 1);
  step(5);
}

TEST_F(BodyWalk, HandlesOfRemovedBodiesReadNull) {
  state.ship = boxAt(0.001f, 50);
  state.wheel2 = boxAt(0, 50);
  state.baseBras = boxAt(-1, 40);  // a crane's arm left alone, joined to no car
  state.wheel1 = boxAt(2, 50);
  state.BODY = {state.wheel2, state.wheel1};
  {
    PinnedClock clock(secondWhereRandABGives(1, 100, 50));
    init_random_walker(state, 0, 500);
  }
  ASSERT_NE(state.randomWalker, nullptr);

  walkBodies(state, nullptr);

  EXPECT_EQ(state.wheel2, nullptr);
  EXPECT_EQ(state.baseBras, nullptr);
  EXPECT_EQ(state.randomWalker, nullptr);
  EXPECT_TRUE(state.walkerCreated) << "the terrain goes on making walkers";
  EXPECT_EQ(state.BODY, std::vector<b2Body*>{state.wheel1});
  ASSERT_NE(state.ship, nullptr);
  EXPECT_TRUE(inWorld(state.ship));
  ASSERT_NE(state.wheel1, nullptr);
  EXPECT_TRUE(inWorld(state.wheel1));
  EXPECT_EQ(bodyCount(), 2);
}

// Bodies that are neither the ship nor the crane car, nor joined to them: the
// walk removes them at the left edge, and Box2D their joints with them.
TEST_F(BodyWalk, JointHandlesDieWithTheirBodies) {
  b2Body* top = boxAt(10, 50);
  b2Body* edge = boxAt(0, 60);
  b2Body* other = boxAt(20, 60);
  b2Body* wheelBody = boxAt(3, 62);

  b2DistanceJointDef cable;
  cable.Initialize(top, edge, top->GetPosition(), edge->GetPosition());
  cable.minLength = cable.maxLength = cable.length;
  state.distanceJoint = state.world->CreateJoint(&cable);
  cable.Initialize(top, other, top->GetPosition(), other->GetPosition());
  cable.minLength = cable.maxLength = cable.length;
  state.distanceJoint2 = state.world->CreateJoint(&cable);

  b2WheelJointDef axle;
  axle.Initialize(edge, wheelBody, wheelBody->GetPosition(), b2Vec2(0, 1));
  state.wheel = static_cast<b2WheelJoint*>(state.world->CreateJoint(&axle));

  b2RevoluteJointDef hinge;
  hinge.Initialize(edge, other, edge->GetPosition());
  state.wheelBras = static_cast<b2RevoluteJoint*>(state.world->CreateJoint(&hinge));
  ASSERT_EQ(state.world->GetJointCount(), 4);

  walkBodies(state, nullptr);

  EXPECT_FALSE(inWorld(edge));
  EXPECT_EQ(state.distanceJoint, nullptr);
  EXPECT_EQ(state.wheel, nullptr);
  EXPECT_EQ(state.wheelBras, nullptr);
  ASSERT_NE(state.distanceJoint2, nullptr) << "its bodies both live";
  EXPECT_TRUE(inWorld(state.distanceJoint2));
  EXPECT_EQ(state.world->GetJointCount(), 1);
  step(5);
}

TEST_F(BodyWalk, WalkerIsPushedUpwardOnlyOnAFour) {
  const float g = 9.81f, dt = 0.05f;
  for (int choice : {1, 2, 3, 4}) {
    SCOPED_TRACE("choice " + std::to_string(choice));
    b2Body* walker = boxAt(50, 50, kWalkerDensity);
    b2Body* plain = boxAt(60, 50, 1);
    {
      PinnedClock clock(secondWhereRandABGives(1, 5, choice));
      walkBodies(state, nullptr);
    }
    step();
    const float fall = g * dt;
    EXPECT_NEAR(plain->GetLinearVelocity().y, fall, 1e-4f);
    EXPECT_EQ(plain->GetAngularVelocity(), 0.0f);
    if (choice == 4) {
      // 100 N up for one step, applied at the world origin: it also turns.
      EXPECT_NEAR(walker->GetLinearVelocity().y, fall - 100 / walker->GetMass() * dt, 1e-3f);
      EXPECT_NE(walker->GetAngularVelocity(), 0.0f);
    } else {
      EXPECT_NEAR(walker->GetLinearVelocity().y, fall, 1e-4f);
      EXPECT_EQ(walker->GetAngularVelocity(), 0.0f);
    }
    destroyBody(state, walker);
    destroyBody(state, plain);
  }
}

// Far means beyond a window's width past the new-terrain column (200 px right of
// the cursor), or three window heights above the top or below the bottom for
// what cannot come back from there.
TEST_F(BodyWalk, RemovesFarBodiesOnTheRightTopAndBottomButNotTheShipOrWhatHangsFromIt) {
  // The new column at 170 m: far from 298 m on the right, and beyond -282 m
  // and 376 m (three window heights) up and down.
  state.bordGaucheEcran = 1500;

  auto moving = [](b2Body* body, float gravityScale, float vy) {
    body->SetGravityScale(gravityScale);
    body->SetLinearVelocity(b2Vec2(0, vy));
    return body;
  };
  // Above the top only what gravity cannot bring back goes; below the bottom only
  // what does not rise fast enough to reach the window (306 m up: 77.5 m/s).
  const std::vector<b2Body*> near = {boxAt(297.9f, 50),
                                     boxAt(60, -281.9f),
                                     boxAt(60, 375.9f),
                                     boxAt(60, -5000),
                                     moving(boxAt(62, -300), 0, 0.5f),
                                     moving(boxAt(64, 400), 1, -78)};
  std::vector<b2Body*> gone = {
      boxAt(298.1f, 50), moving(boxAt(60, -282.1f), 0, 0), moving(boxAt(62, -300), -1, 0.5f),
      boxAt(60, 376.1f), moving(boxAt(64, 400), 1, -77),   boxAt(900, 1000)};
  state.wheel1 = gone.back();
  state.BODY = {gone.back()};

  // The ship far out, a car on its cable and a wheel on the car; the car
  // inside the window, the wheel far below. A pair joined only to each other
  // goes like any other body.
  state.ship = boxAt(400, 50);
  state.car = boxAt(100, 50);
  b2Body* wheel = boxAt(100, 500);
  join(state.ship, state.car);
  join(state.car, wheel);
  b2Body* pairA = boxAt(400, 60);
  b2Body* pairB = boxAt(100, 60);
  join(pairA, pairB);
  gone.push_back(pairA);

  walkBodies(state, nullptr);

  for (b2Body* body : near) EXPECT_TRUE(inWorld(body)) << body->GetPosition().x;
  for (b2Body* body : {state.ship, state.car, wheel, pairB}) EXPECT_TRUE(inWorld(body));
  EXPECT_EQ(bodyCount(), 10);
  EXPECT_EQ(state.world->GetJointCount(), 2) << "the cable and the axle remain";
  EXPECT_EQ(state.wheel1, nullptr);
  EXPECT_TRUE(state.BODY.empty());

  // The far limit on the right moves with the terrain cursor.
  state.bordGaucheEcran = 1520;
  b2Body* nowNear = boxAt(299, 50);
  walkBodies(state, nullptr);
  EXPECT_TRUE(inWorld(nowNear));
  step(5);
}

TEST_F(BodyWalk, ACarDroppedBelowTheFloorIsGoneOnceItFallsPastTheMargin) {
  createBase(state);
  walkBodies(state, nullptr);  // the floor's piece at the left edge goes first
  const int before = bodyCount();
  ConsoleCapture console;
  onKeyPress(state, key::C, 640, 930);  // below the floor at 910 px
  ASSERT_EQ(bodyCount(), before + 3);
  ASSERT_NE(state.wheel1, nullptr);
  const float bottom = farLimits(state).bottom;
  float lowest = 0;
  int frame = 0;
  for (; frame < 2000 && bodyCount() > before; ++frame) {
    // The deepest any part of the car got before the walk removed it.
    for (b2Body* b = state.world->GetBodyList(); b; b = b->GetNext())
      if (b->GetType() == b2_dynamicBody) lowest = std::max(lowest, b->GetPosition().y);
    walkBodies(state, nullptr);
    step();
  }
  EXPECT_EQ(bodyCount(), before) << "after " << frame << " frames";
  EXPECT_GT(lowest, bottom);
  EXPECT_LT(lowest, bottom + 3) << "removed as it passed the margin, not later";
  EXPECT_EQ(state.wheel1, nullptr);
  EXPECT_EQ(state.wheel2, nullptr);
  EXPECT_EQ(state.wheel, nullptr);
}

// What a user can still bring back stays however far it goes: the dropped crane
// car, what rides on the hanging one, a walker that low gravity brings back down.
TEST_F(BodyWalk, KeepsTheDroppedCraneCarWhatRidesOnItAndWalkersThatFallBack) {
  ConsoleCapture console;
  PinnedClock clock(1000);                     // one second per 60 frames, as in a paced run
  auto play = [&](int frames, int held = 0) {  // 0: no key
    std::array<unsigned char, key::COUNT> keys{};
    keys[held] = 1;
    for (int i = 0; i < frames; ++i) clock.tick(), playFrame(state, keys.data());
  };
  buildFirstScene(state);
  const FarLimits far = farLimits(state);

  // B, fly to the right edge, drop, drive off the end of the floor and fall past
  // the bottom limit; then J picks the car up and the third D destroys it.
  onKeyPress(state, key::B, 0, 0);
  play(300, key::RIGHT);
  onKeyPress(state, key::J, 0, 0);
  for (int i = 0; i < 1000 && state.car && state.car->GetPosition().y < far.bottom + 10; ++i)
    play(1, key::KP6);
  ASSERT_NE(state.car, nullptr);
  console.clear();
  onKeyPress(state, key::J, 0, 0);
  for (int i = 0; i < 3; ++i) onKeyPress(state, key::D, 0, 0);
  EXPECT_EQ(console.lines(), (std::vector<std::string>{"TOTO1", "DESTROY CAR = EN COURS", "TOTO"}));

  // A box resting on the deck of a hanging crane car rides on past the right
  // limit (brought in by the cursor: the ship cannot fly that far); a loose one goes.
  onKeyPress(state, key::B, 0, 0);
  play(120);
  const b2Vec2 deck = state.car->GetWorldPoint(b2Vec2(2.5f, -1.25f));
  b2Body* box = boxAt(deck.x, deck.y);
  box->SetTransform(deck, state.car->GetAngle());
  b2Body* loose = boxAt(deck.x - 20, deck.y);
  step();
  const float cursor = state.bordGaucheEcran;
  state.bordGaucheEcran = (deck.x - 30) * M2P - 200 - WIDTH;
  walkBodies(state, nullptr);
  EXPECT_TRUE(inWorld(box));
  EXPECT_FALSE(inWorld(loose));
  state.bordGaucheEcran = cursor;

  // Under a blue sky a walker 300 m up, above the top limit, falls back into the window.
  state.world->SetGravity(b2Vec2(0, 2.07f));
  clock.set(secondWhereRandABGives(1, 100, 50));
  init_random_walker(state, 600, -3000);
  b2Body* walker = state.randomWalker;
  ASSERT_NE(walker, nullptr);
  for (int i = 0; i < 20000 && state.randomWalker && walker->GetPosition().y < 0; ++i) play(1);
  ASSERT_EQ(state.randomWalker, walker);
  EXPECT_GT(walker->GetPosition().y, 0);
}

// The ship carries the crane car past the left edge while the landscape scrolls
// under it, or while it flies left: the car, its cable, wheels and crane stay,
// and J and D still act on them. Plain cars and loose bodies still go there.
TEST_F(BodyWalk, TheLeftEdgeKeepsTheCraneCarThatTheShipCarries) {
  ConsoleCapture console;
  PinnedClock clock(1000);
  float leftmost = 0;  // of the car's chassis, metres
  auto play = [&](int frames, std::initializer_list<int> held = {}) {
    std::array<unsigned char, key::COUNT> keys{};
    for (int k : held) keys[k] = 1;
    for (int i = 0; i < frames; ++i) {
      clock.tick(), playFrame(state, keys.data());
      if (state.car) leftmost = std::min(leftmost, state.car->GetPosition().x);
    }
  };
  auto craneCarJoints = [&] {
    int live = 0;
    for (b2Joint* j : {state.distanceJoint, state.distanceJoint2}) live += j && inWorld(j);
    for (b2RevoluteJoint* j : state.hinges()) live += j && inWorld(j);
    for (b2JointEdge* e = state.car ? state.car->GetJointList() : nullptr; e; e = e->next)
      live += e->joint->GetType() == e_wheelJoint;
    return live;
  };
  buildFirstScene(state);
  onKeyPress(state, key::B, 0, 0);
  ASSERT_EQ(craneCarJoints(), 9);
  onKeyPress(state, key::C, 600, 880);  // a plain car on the ground, right of the ship
  ASSERT_EQ(state.plainCars.size(), 1u);
  constexpr float kLoose = 123;  // a density of no metal: the loose box among the debris
  boxAt(40, 88, kLoose);
  auto looseBoxes = [&] {
    int n = 0;
    for (const b2Body* b = state.world->GetBodyList(); b; b = b->GetNext())
      n += b->GetFixtureList() && b->GetFixtureList()->GetDensity() == kLoose;
    return n;
  };

  // With the car hanging high above the ground, held at the left edge by Space,
  // then flying left: the car swings past the edge, while what lies on the
  // ground scrolls out under it.
  play(1200, {key::SPACE, key::UP});
  play(420, {key::LEFT, key::UP});
  EXPECT_LT(leftmost, 0) << "the car should have gone past the left edge";
  EXPECT_EQ(craneCarJoints(), 9);
  EXPECT_EQ(state.wheel1, nullptr);
  EXPECT_TRUE(state.plainCars.empty()) << "the plain car went at the edge";
  EXPECT_EQ(looseBoxes(), 0);

  // Dropped and scrolled past the edge, the car stays for J to pick up.
  console.clear();
  onKeyPress(state, key::J, 0, 0);
  leftmost = 0;
  play(600, {key::SPACE});
  EXPECT_LT(leftmost, 0);
  ASSERT_TRUE(state.craneCarDropped());
  EXPECT_EQ(craneCarJoints(), 7) << "its wheels and crane";
  onKeyPress(state, key::J, 0, 0);
  EXPECT_EQ(craneCarJoints(), 9);
  play(60);
  onKeyPress(state, key::D, 0, 0);
  EXPECT_EQ(console.lines(), (std::vector<std::string>{"TOTO ", "TOTO1"}));
  EXPECT_EQ(craneCarJoints(), 8) << "D cut one rod";
}

// Headless, the walk visits only its lists; with a painter, every body of the
// world. A ride with debris, plain cars and columns leaving together must
// remove the same bodies in the same order either way: the same world after.
TEST(BodyWalkLists, HeadlessWalkMatchesTheWalkOverEveryBody) {
  class Nothing : public BodyPainter {
    void paint(b2Body*) override {}
  };
  auto ride = [](bool painted) {
    ConsoleCapture console;
    PinnedClock clock(1700000000);
    State state;
    createWorld(state);
    buildFirstScene(state);
    Nothing nothing;
    std::array<unsigned char, key::COUNT> keys{};
    keys[key::SPACE] = 1;
    std::vector<float> seen;
    for (int frame = 0; frame < 3000; ++frame) {
      if (frame % 60 == 0) clock.tick();
      if (frame % 400 == 200) onKeyPress(state, key::C, 300 + frame % 700, 700);
      playFrame(state, keys.data(), painted ? &nothing : nullptr);
      seen.push_back(static_cast<float>(state.world->GetBodyCount()));
    }
    for (const b2Body* b = state.world->GetBodyList(); b; b = b->GetNext())
      seen.insert(seen.end(), {b->GetPosition().x, b->GetPosition().y, b->GetAngle()});
    // The lists hold every body of the world, each once.
    EXPECT_EQ(state.columns.size() + state.others.size(),
              static_cast<std::size_t>(state.world->GetBodyCount()));
    return seen;
  };
  const std::vector<float> painted = ride(true);
  EXPECT_EQ(ride(false), painted);
}
