#include "game/world_setup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "app/init.h"
#include "fixtures/gl_window.h"
#include "game/frame.h"
#include "state/state.h"
#include "support/console_capture.h"
#include "support/pinned_clock.h"

namespace {

const std::string kRed = "ATMOSPHERE A COULEUR DOMINANTE ROUGE";
const std::string kGreen = "ATMOSPHERE A COULEUR DOMINANTE VERTE";
const std::string kBlue = "ATMOSPHERE A COULEUR DOMINANTE BLEUE";

// The draws that follow from a start-up second: the landscape seed takes the first
// value of the freshly seeded sequence, the sky the next three (low 15 bits).
struct StartupDraws {
  int seedDraw;
  int red, green, blue;  // low 15 bits
};
StartupDraws drawsOfSecond(std::time_t t) {
  std::srand(static_cast<unsigned>(t));
  StartupDraws d;
  d.seedDraw = std::rand();
  d.red = std::rand() & 0x7FFF;
  d.green = std::rand() & 0x7FFF;
  d.blue = std::rand() & 0x7FFF;
  return d;
}

// The first second from `from` whose sky has blue strictly largest.
std::time_t blueSecond(std::time_t from) {
  for (std::time_t t = from;; ++t) {
    const StartupDraws d = drawsOfSecond(t);
    if (d.blue > d.red && d.blue > d.green) return t;
  }
}

int low15(float component) { return static_cast<int>(std::lround(component * 32767.0)); }

const b2Body* bodyWithDensity(const b2World& world, float density) {
  for (const b2Body* b = world.GetBodyList(); b; b = b->GetNext())
    if (b->GetFixtureList()->GetDensity() == density) return b;
  return nullptr;
}

}  // namespace

TEST(SkyColour, StrictlyLargestComponentIsAnnouncedAndBlueLowersGravity) {
  struct Case {
    SkyColour sky;
    std::vector<std::string> lines;
    float gravity;
  };
  const Case cases[] = {
      {{0.9f, 0.5f, 0.1f}, {kRed}, 9.81f},
      {{0.2f, 0.7f, 0.69f}, {kGreen}, 9.81f},
      {{0.3f, 0.2f, 0.31f}, {kBlue}, 2.07f},
      {{1.0f, 0.0f, 0.99999f}, {kRed}, 9.81f},
      // Ties for the largest value: no line, gravity unchanged, even when blue shares it.
      {{0.6f, 0.6f, 0.1f}, {}, 9.81f},
      {{0.8f, 0.2f, 0.8f}, {}, 9.81f},
      {{0.1f, 0.7f, 0.7f}, {}, 9.81f},
      {{0.4f, 0.4f, 0.4f}, {}, 9.81f},
      {{0, 0, 0}, {}, 9.81f},
      {{1, 1, 1}, {}, 9.81f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.sky.r << ", " << c.sky.g << ", " << c.sky.b);
    State state;
    ConsoleCapture console;
    announceSkyColourSetGravity(state, c.sky);
    EXPECT_EQ(console.lines(), c.lines);
    EXPECT_EQ(state.GRAVITY, c.gravity);
  }
}

TEST(SkyColour, DrawsRedGreenBlueInOrderFromTheRunningSequence) {
  std::srand(4242);
  const float r = RandomFloat(0, 1), g = RandomFloat(0, 1), b = RandomFloat(0, 1);
  State state;
  drawLandscapeSeed(state);  // reseeds from the clock; the sky must not
  std::srand(4242);
  ConsoleCapture quiet;
  const SkyColour sky = drawSkyColourSetGravity(state);
  EXPECT_EQ(sky.r, r);
  EXPECT_EQ(sky.g, g);
  EXPECT_EQ(sky.b, b);
}

TEST(SkyColour, SeedAndSkyFollowFromTheStartupSecond) {
  PinnedClock clock(777777);
  const StartupDraws d = drawsOfSecond(777777);
  ConsoleCapture quiet;
  State first;
  drawLandscapeSeed(first);
  const SkyColour sky = drawSkyColourSetGravity(first);
  EXPECT_EQ(first.coefMontagne, static_cast<float>(d.seedDraw) / 1000000.0f);
  EXPECT_EQ(low15(sky.r), d.red);
  EXPECT_EQ(low15(sky.g), d.green);
  EXPECT_EQ(low15(sky.b), d.blue);

  State second;  // another start-up in the same second
  drawLandscapeSeed(second);
  const SkyColour again = drawSkyColourSetGravity(second);
  EXPECT_EQ(second.coefMontagne, first.coefMontagne);
  EXPECT_EQ(again.r, sky.r);
  EXPECT_EQ(again.g, sky.g);
  EXPECT_EQ(again.b, sky.b);

  // N within that second goes on along its draws: every world differs. A
  // recording from before that rule replays the repeated world.
  State live;
  newWorld(live);  // as the start-up draws
  EXPECT_EQ(live.coefMontagne, first.coefMontagne);
  std::set<float> seeds{live.coefMontagne};
  for (int n = 0; n < 3; ++n) {
    newWorld(live);
    seeds.insert(live.coefMontagne);
  }
  EXPECT_EQ(seeds.size(), 4u);
  State old;
  old.seedRepeatsWithinASecond = true;
  newWorld(old);
  newWorld(old);
  EXPECT_EQ(old.coefMontagne, first.coefMontagne);
}

TEST(CreateWorld, GravityIsSetBeforeAnyStep) {
  for (float gravity : {9.81f, 2.07f}) {
    State state;
    state.GRAVITY = gravity;
    createWorld(state);
    ASSERT_TRUE(state.world);
    EXPECT_EQ(state.world->GetGravity().x, 0);
    EXPECT_EQ(state.world->GetGravity().y, gravity);

    b2BodyDef def;
    def.type = b2_dynamicBody;
    b2Body* body = state.world->CreateBody(&def);
    b2PolygonShape box;
    box.SetAsBox(1, 1);
    body->CreateFixture(&box, 1);
    stepWorld(state);
    EXPECT_NEAR(body->GetLinearVelocity().y, gravity * 0.05f, 1e-5) << gravity;
  }
}

TEST(CreateWorld, RegistersTheJointHandleListener) {
  State state;
  createWorld(state);
  b2BodyDef def;
  def.type = b2_dynamicBody;
  b2Body* a = state.world->CreateBody(&def);
  b2Body* b = state.world->CreateBody(&def);
  b2DistanceJointDef joint;
  joint.Initialize(a, b, a->GetPosition(), b->GetPosition());
  state.distanceJoint = state.world->CreateJoint(&joint);
  state.world->DestroyBody(a);  // Box2D destroys the joint with it
  EXPECT_EQ(state.distanceJoint, nullptr);
}

class FirstScene : public ::testing::Test {
 protected:
  // Builds the scene at a second whose draws are known.
  void build(std::time_t second) {
    clock.set(second);
    createWorld(state);
    ConsoleCapture console;
    buildFirstScene(state);
    lines = console.lines();
  }

  PinnedClock clock{0};
  State state;
  std::vector<std::string> lines;
};

TEST_F(FirstScene, FloorBoxCircleShipAndWalkerWhenTheCoinSays50) {
  // The box's draw and the walker's coin come from the same second.
  const std::time_t t = secondWhereRandABGives(1, 100, 50);
  const int boxDraw = drawsOfSecond(t).seedDraw % 101;
  build(t);

  ASSERT_EQ(state.world->GetBodyCount(), 1280 + 4);
  EXPECT_EQ(lines, (std::vector<std::string>{std::to_string(boxDraw), "0.95"}));
  EXPECT_EQ(state.bordGaucheEcran, 1280);

  // The floor: 1280 static pieces 1 m x 0.1 m, one per pixel column from x = 0,
  // each centred (1, 1) m from its origin at y = 90 m.
  std::set<int> columns;
  for (const b2Body* b = state.world->GetBodyList(); b; b = b->GetNext()) {
    if (b->GetType() != b2_staticBody) continue;
    const b2Fixture* f = b->GetFixtureList();
    ASSERT_EQ(f->GetDensity(), 0);
    ASSERT_EQ(b->GetPosition().y, 90);
    const int column = static_cast<int>(std::lround(b->GetPosition().x * 10));
    ASSERT_NEAR(b->GetPosition().x, column * 0.1f, 1e-4);
    columns.insert(column);
    b2AABB box;
    f->GetShape()->ComputeAABB(&box, b->GetTransform(), 0);
    const float skin = f->GetShape()->m_radius;
    ASSERT_NEAR(box.GetCenter().x, b->GetPosition().x + 1, 1e-4);
    ASSERT_NEAR(box.GetCenter().y, 91, 1e-4);
    ASSERT_NEAR(box.GetExtents().x, 0.5f + skin, 1e-4);
    ASSERT_NEAR(box.GetExtents().y, 0.05f + skin, 1e-4);
  }
  ASSERT_EQ(columns.size(), 1280u);
  EXPECT_EQ(*columns.begin(), 0);
  EXPECT_EQ(*columns.rbegin(), 1279);

  // The box: a dynamic 2 m square at (50, 20) m of the metal its draw selects.
  const b2Body* box = nullptr;
  const b2Body* circle = nullptr;
  for (const b2Body* b = state.world->GetBodyList(); b; b = b->GetNext()) {
    if (b->GetPosition() == b2Vec2(50, 20)) box = b;
    if (b->GetPosition() == b2Vec2(60, 20)) circle = b;
  }
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->GetType(), b2_dynamicBody);
  EXPECT_NEAR(box->GetMass() / box->GetFixtureList()->GetDensity(), 4.0f, 1e-4);
  const float metal = box->GetFixtureList()->GetDensity();
  const float* table = state.TABLEAU_DES_DENSITES;
  EXPECT_NE(std::find(table, table + 13, metal), table + 13) << metal;

  // The circle: weightless, radius 1.5 m.
  ASSERT_NE(circle, nullptr);
  EXPECT_EQ(circle->GetType(), b2_dynamicBody);
  EXPECT_EQ(circle->GetFixtureList()->GetType(), b2Shape::e_circle);
  EXPECT_NEAR(circle->GetFixtureList()->GetShape()->m_radius, 1.5f, 1e-6);
  EXPECT_EQ(circle->GetGravityScale(), 0);

  // The ship.
  ASSERT_NE(state.ship, nullptr);
  EXPECT_EQ(state.ship->GetPosition(), b2Vec2(15, 84));
  EXPECT_EQ(state.ship->GetFixtureList()->GetDensity(), 0.95f);
  EXPECT_TRUE(state.ship->IsFixedRotation());
  EXPECT_EQ(state.ship->GetGravityScale(), 0);
  EXPECT_NEAR(state.ship->GetMass(), 42.75f, 1e-3);

  // The walker, at (90, 90) m.
  ASSERT_NE(state.randomWalker, nullptr);
  EXPECT_EQ(state.randomWalker, bodyWithDensity(*state.world, 50.63f));
  EXPECT_EQ(state.randomWalker->GetPosition(), b2Vec2(90, 90));
  EXPECT_EQ(state.randomWalker->GetType(), b2_dynamicBody);
}

TEST_F(FirstScene, NoWalkerWhenTheCoinSays49) {
  build(secondWhereRandABGives(1, 100, 49));
  EXPECT_EQ(state.world->GetBodyCount(), 1280 + 3);
  EXPECT_EQ(state.randomWalker, nullptr);
  EXPECT_EQ(bodyWithDensity(*state.world, 50.63f), nullptr);
  EXPECT_EQ(lines.size(), 2u);
}

TEST_F(FirstScene, TheBoxIsMadeFromTheFilledTable) {
  // A draw of 50 selects lead; an empty table would have given density 0.
  build(secondWhereRandABGives(0, 101, 50));
  EXPECT_EQ(lines.front(), "50");
  EXPECT_NE(bodyWithDensity(*state.world, 11.35f), nullptr);
}

// The whole GL-free start-up at a second with a blue sky: the colour line first,
// then the box's draw and the ship's density; the world runs at 2.07.
TEST(StartupLines, ColourLineThenBoxDrawThenShipDensity) {
  const std::time_t t = blueSecond(5000);
  PinnedClock clock(t);
  ConsoleCapture console;
  State state;
  drawLandscapeSeed(state);
  drawSkyColourSetGravity(state);
  createWorld(state);
  buildFirstScene(state);
  const int boxDraw = drawsOfSecond(t).seedDraw % 101;
  EXPECT_EQ(console.lines(), (std::vector<std::string>{kBlue, std::to_string(boxDraw), "0.95"}));
  EXPECT_EQ(state.world->GetGravity().y, 2.07f);
}

class InitWithWindow : public GlWindowTest {};

TEST_F(InitWithWindow, SetsThePixelProjectionAndTheSkyAsClearColour) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();  // as in a fresh context
  const std::time_t t = blueSecond(9000);
  PinnedClock clock(t);
  ConsoleCapture console;
  State state;
  drawLandscapeSeed(state);
  init(state);

  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  GLfloat m[16];
  glGetFloatv(GL_PROJECTION_MATRIX, m);
  EXPECT_FLOAT_EQ(m[0], 2.0f / 1280);
  EXPECT_FLOAT_EQ(m[5], -2.0f / 940);
  EXPECT_FLOAT_EQ(m[10], -1);
  EXPECT_FLOAT_EQ(m[12], -1);
  EXPECT_FLOAT_EQ(m[13], 1);

  const StartupDraws d = drawsOfSecond(t);
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(low15(clear[0]), d.red);
  EXPECT_EQ(low15(clear[1]), d.green);
  EXPECT_EQ(low15(clear[2]), d.blue);
  EXPECT_EQ(clear[3], 1);

  ASSERT_FALSE(console.lines().empty());
  EXPECT_EQ(console.lines().front(), kBlue);
  EXPECT_EQ(console.lines().back(), "0.95");
  EXPECT_EQ(state.world->GetGravity().y, 2.07f);
  EXPECT_NE(state.ship, nullptr);
}
