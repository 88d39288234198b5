#include "base/materials.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "bodies/ship.h"
#include "game/frame.h"
#include "game/world_setup.h"
#include "state/state.h"
#include "support/console_capture.h"

namespace {

struct Row {
  float density;
  const char* name;
};
const Row kNamed[15] = {{0.97f, "SODIUM"},
                        {21.45f, "PLATINE"},
                        {19.3f, "OR"},
                        {11.35f, "PLOMB"},
                        {10.5f, "ARGENT"},
                        {9.82f, "BISMUTH"},
                        {8.96f, "CUIVRE"},
                        {8.27f, "NICKEL"},
                        {7.87f, "FER"},
                        {7.29f, "ETAIN"},
                        {7.1f, "ZINC"},
                        {2.7f, "ALUMINIUM"},
                        {1.43f, "MAGNESIUM"},
                        {50.63f, "MATIERE VOLCANIQUE EN FUSION"},
                        {4.0f, "MATERIAU DE TEST"}};

// What the console showed while the ship fell onto a body, rested on it, and was
// taken away again.
struct Landing {
  std::vector<std::string> atContact, whileResting, onSeparation;
  bool shipIsFixtureA = false;
  bool touched = false;
};

// The ship's bottom is at 85.5 m; this box's top is 3 cm below it, a drop slow
// enough that the ship settles without bouncing (a bounce would begin a new contact).
const b2Vec2 kBelowShip(15, 86.03f);

b2Body* staticBox(b2World& world, b2Vec2 at, float density) {
  b2BodyDef def;
  def.position = at;
  b2Body* body = world.CreateBody(&def);
  b2PolygonShape box;
  box.SetAsBox(3, 0.5f);
  body->CreateFixture(&box, density);
  return body;
}

// Box2D makes the fixture with the lower broad-phase proxy fixture A of a polygon
// pair, and proxies are numbered in creation order. So creating the ship first
// makes it A, creating it second makes it B. The order is checked on the real
// contact, so a change in Box2D's choice fails loudly instead of passing quietly.
Landing landShipOn(float density, bool shipFirst) {
  State state;
  createWorld(state);
  Landing result;
  b2Body* ship = nullptr;
  b2Body* other = nullptr;
  {
    ConsoleCapture quiet;  // the ship's own 0.95 line
    if (!shipFirst) other = staticBox(*state.world, kBelowShip, density);
    ship = makeShip(state, 150, 840);
    if (shipFirst) other = staticBox(*state.world, kBelowShip, density);
  }
  ship->SetGravityScale(1);  // let it settle onto the other body

  auto step = [&](int frames) {
    for (int i = 0; i < frames; ++i) stepWorld(state);
  };
  {
    ConsoleCapture console;
    step(30);
    result.atContact = console.lines();
  }
  for (b2Contact* c = state.world->GetContactList(); c; c = c->GetNext()) {
    if (!c->IsTouching()) continue;
    result.touched = true;
    result.shipIsFixtureA = c->GetFixtureA()->GetBody() == ship;
    EXPECT_EQ(
        (c->GetFixtureA()->GetBody() == ship ? c->GetFixtureB() : c->GetFixtureA())->GetBody(),
        other);
  }
  {
    ConsoleCapture console;
    step(40);
    result.whileResting = console.lines();
  }
  {
    ConsoleCapture console;
    ship->SetTransform(b2Vec2(15, 20), 0);
    ship->SetLinearVelocity(b2Vec2(0, 0));
    ship->SetAwake(true);  // a resting ship sleeps, and sleeping contacts are kept
    step(5);
    result.onSeparation = console.lines();
    EXPECT_EQ(state.world->GetContactCount(), 0);
  }
  return result;
}

}  // namespace

TEST(DensityTable, HoldsTheThirteenMetalsInOrderAndZerosAfter) {
  float table[100];
  for (float& d : table) d = -1;
  init_TABLEAU_DES_DENSITES(table);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(table[i], kNamed[i].density) << "entry " << i;
  for (int i = 13; i < 100; ++i) EXPECT_EQ(table[i], -1) << "entry " << i << " was written";

  State state;
  init_TABLEAU_DES_DENSITES(state.TABLEAU_DES_DENSITES);
  for (int i = 13; i < 100; ++i) EXPECT_EQ(state.TABLEAU_DES_DENSITES[i], 0);
}

TEST(ContactReport, ShipAsFixtureANamesEachMaterialOnceAtContactBegin) {
  for (const Row& row : kNamed) {
    SCOPED_TRACE(row.name);
    const Landing landing = landShipOn(row.density, true);
    ASSERT_TRUE(landing.touched);
    ASSERT_TRUE(landing.shipIsFixtureA) << "setup premise: the ship should be fixture A";
    EXPECT_EQ(landing.atContact, std::vector<std::string>{row.name});
    EXPECT_TRUE(landing.whileResting.empty());
    EXPECT_TRUE(landing.onSeparation.empty());
  }
}

TEST(ContactReport, DensityOneBitAwayNamesNothing) {
  for (const Row& row : kNamed) {
    SCOPED_TRACE(row.name);
    for (float towards : {0.0f, std::numeric_limits<float>::infinity()}) {
      const Landing landing = landShipOn(std::nextafter(row.density, towards), true);
      ASSERT_TRUE(landing.touched);
      ASSERT_TRUE(landing.shipIsFixtureA);
      EXPECT_TRUE(landing.atContact.empty());
    }
  }
}

TEST(ContactReport, GroundHullCraneAndShipDensitiesNameNothing) {
  for (float density : {kGroundDensity, kHullDensity, kCraneDensity, kShipDensity}) {
    SCOPED_TRACE(density);
    const Landing landing = landShipOn(density, true);
    ASSERT_TRUE(landing.touched);
    ASSERT_TRUE(landing.shipIsFixtureA);
    EXPECT_TRUE(landing.atContact.empty());
  }
}

TEST(ContactReport, ShipAsFixtureBNamesNothing) {
  for (const Row& row : {kNamed[5], kNamed[13], kNamed[14]}) {
    SCOPED_TRACE(row.name);
    const Landing landing = landShipOn(row.density, false);
    ASSERT_TRUE(landing.touched);
    ASSERT_FALSE(landing.shipIsFixtureA) << "setup premise: the ship should be fixture B";
    EXPECT_TRUE(landing.atContact.empty());
    EXPECT_TRUE(landing.whileResting.empty());
  }
}

TEST(ContactReport, TheBodysFirstFixtureNamesIt) {
  // The ship touches the body's copper fixture, but its first listed fixture
  // (Box2D lists the newest first) is gold, far out of reach.
  State state;
  createWorld(state);
  b2Body* ship;
  {
    ConsoleCapture quiet;
    ship = makeShip(state, 150, 840);
  }
  ship->SetGravityScale(1);
  b2Body* other = staticBox(*state.world, kBelowShip, 8.96f);
  b2PolygonShape farAway;
  farAway.SetAsBox(0.5f, 0.5f, b2Vec2(0, 30), 0);
  other->CreateFixture(&farAway, 19.3f);
  ASSERT_EQ(other->GetFixtureList()->GetDensity(), 19.3f);

  ConsoleCapture console;
  for (int i = 0; i < 30; ++i) stepWorld(state);
  EXPECT_EQ(console.lines(), std::vector<std::string>{"OR"});
}
