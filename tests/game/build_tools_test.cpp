// The building tools: what each builds, in metres whatever the zoom; ropes
// tied at their ends; pins; what the eraser refuses; the limit of built
// bodies; and a recording that uses every tool replaying to the same world.

#include "game/build_tools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "bodies/factories.h"
#include "bodies/ship.h"
#include "fixtures/handle_check.h"
#include "fixtures/world_fixture.h"
#include "game/controls.h"
#include "game/keys.h"
#include "recording/digest.h"
#include "recording/recording_reader.h"
#include "recording/recording_writer.h"
#include "session/history.h"
#include "session/play_input.h"
#include "session/recorder.h"
#include "session/replay.h"
#include "state/state.h"
#include "support/console_capture.h"

namespace {

class Building : public WorldTest {
 protected:
  // A press at a, a move to b and the release, in the picture's pixels.
  void build(Tool tool, b2Vec2 a, b2Vec2 b) {
    chooseTool(state, tool);
    pressLeftButton(state, int(a.x), int(a.y));
    moveLeftButton(state, int(b.x), int(b.y));
    releaseLeftButton(state);
  }
  void click(Tool tool, b2Vec2 at) { build(tool, at, at); }

  b2Body* newest() const { return state.built.back(); }
  const b2Shape* shapeOf(const b2Body* body) const { return body->GetFixtureList()->GetShape(); }
  b2Vec2 halfSize(const b2Body* body) const {
    const auto* box = static_cast<const b2PolygonShape*>(shapeOf(body));
    return b2Vec2(std::fabs(box->m_vertices[2].x), std::fabs(box->m_vertices[2].y));
  }
  // Hinges: a rope's links', its ends', pins. A rope also holds its length with a slack rod.
  static int jointCount(const b2Body* body) {
    int n = 0;
    for (const b2JointEdge* e = body->GetJointList(); e; e = e->next)
      n += e->joint->GetType() == e_revoluteJoint;
    return n;
  }
  static bool joined(const b2Body* a, const b2Body* b) {
    for (const b2JointEdge* e = a->GetJointList(); e; e = e->next)
      if (e->other == b) return true;
    return false;
  }

  ConsoleCapture console;  // a random metal's draw is said
};

// The same drag seen at the game's own view and zoomed in four times: the
// window's pixels differ, the picture's (what the game is given) do not, and
// the bodies' sizes are the drag's in metres.
TEST_F(Building, EachToolBuildsInMetresWhateverTheZoom) {
  for (const float zoom : {1.0f, 4.0f}) {
    SCOPED_TRACE(zoom);
    // A view drag of (120, 80) window pixels from the view point (400, 400).
    const b2Vec2 from = (1 / zoom) * b2Vec2(400, 400);
    const b2Vec2 to = from + (1 / zoom) * b2Vec2(120, 80);
    const b2Vec2 metres = P2M * (to - from);

    // First, so that its ends lie on nothing.
    const size_t before = state.built.size();
    build(Tool::rope, from, to);
    const size_t links = state.built.size() - before;
    EXPECT_EQ(links, static_cast<size_t>(std::lround(metres.Length() / kRopeLink)));
    float length = 0;
    for (size_t i = before; i < state.built.size(); ++i) length += 2 * halfSize(state.built[i]).x;
    EXPECT_NEAR(length, metres.Length(), 1e-3);
    // Hinged end to end, and free at both ends: nothing lies under them.
    EXPECT_EQ(jointCount(state.built[before]), 1);
    EXPECT_EQ(jointCount(newest()), 1);
    for (size_t i = before + 1; i + 1 < state.built.size(); ++i)
      EXPECT_TRUE(joined(state.built[i], state.built[i + 1]));

    build(Tool::box, from, to);
    EXPECT_EQ(newest()->GetType(), b2_dynamicBody);
    EXPECT_NEAR(2 * halfSize(newest()).x, metres.x, 1e-4);
    EXPECT_NEAR(2 * halfSize(newest()).y, metres.y, 1e-4);
    EXPECT_NEAR(newest()->GetPosition().x, P2M * (from.x + to.x) / 2, 1e-4);

    build(Tool::ball, from, to);
    EXPECT_NEAR(shapeOf(newest())->m_radius, metres.Length(), 1e-4);
    EXPECT_NEAR((newest()->GetPosition() - P2M * from).Length(), 0, 1e-4);

    build(Tool::plank, from, to);
    EXPECT_NEAR(2 * halfSize(newest()).x, metres.Length(), 1e-4);
    EXPECT_NEAR(2 * halfSize(newest()).y, kPlankThickness, 1e-5);
    EXPECT_NEAR(newest()->GetAngle(), std::atan2(metres.y, metres.x), 1e-5);
  }
  // A click alone: a 1 m box, a ball 1 m across, a 1 m plank; no rope at all.
  const b2Vec2 at(900, 300);
  click(Tool::box, at);
  EXPECT_NEAR(2 * halfSize(newest()).x, kClickSize, 1e-5);
  EXPECT_NEAR(2 * halfSize(newest()).y, kClickSize, 1e-5);
  click(Tool::ball, at);
  EXPECT_NEAR(2 * shapeOf(newest())->m_radius, kClickSize, 1e-5);
  click(Tool::plank, at);
  EXPECT_NEAR(2 * halfSize(newest()).x, kClickSize, 1e-5);
  const size_t before = state.built.size();
  click(Tool::rope, at);
  EXPECT_EQ(state.built.size(), before);
  // A narrow drag keeps the smallest side.
  build(Tool::box, at, at + b2Vec2(50, 0));
  EXPECT_NEAR(2 * halfSize(newest()).y, kSmallestSide, 1e-5);
}

TEST_F(Building, MetalsAreChosenOrDrawnAndNamedOnContact) {
  EXPECT_EQ(metalInUse(state), nullptr) << "drawn at random, as the landscape's boxes";
  click(Tool::box, {100, 100});
  ASSERT_EQ(console.lines().size(), 1u);  // the draw, said
  const int draw = std::stoi(console.lines()[0]);
  EXPECT_EQ(newest()->GetFixtureList()->GetDensity(),
            state.TABLEAU_DES_DENSITES[metalIndexForDraw(draw)]);
  for (int i = 0; i <= kMetalCount; ++i) {
    chooseNextMetal(state);
    if (i == kMetalCount) {
      EXPECT_EQ(metalInUse(state), nullptr) << "round again to the random one";
      break;
    }
    ASSERT_NE(metalInUse(state), nullptr);
    ASSERT_EQ(metalInUse(state)->density, kMetals[i].density);
    click(Tool::ball, {float(100 + 30 * i), 300});
    EXPECT_EQ(newest()->GetFixtureList()->GetDensity(), kMetals[i].density);
    EXPECT_STREQ(materialName(newest()->GetFixtureList()->GetDensity()), kMetals[i].name);
  }
}

TEST_F(Building, RopeEndsAreTiedToTheBodiesUnderThemButNeverTheShipOrTheGround) {
  b2Body* left = boxAt(*state.world, 20, 20);
  b2Body* right = boxAt(*state.world, 40, 20);
  build(Tool::rope, {200, 200}, {400, 200});
  EXPECT_TRUE(joined(state.built.front(), left));
  EXPECT_TRUE(joined(newest(), right));
  // Tied at the boxes' edges: 18 m of rope between them.
  float length = 0;
  for (const b2Body* link : state.built) length += 2 * halfSize(link).x;
  EXPECT_NEAR(length, 18, 1e-3);
  // The right box hangs from the left one, pinned: the rope holds it within reach.
  click(Tool::pin, {200, 195});
  step(100);
  EXPECT_NEAR(left->GetPosition().x, 20, 0.5f);
  EXPECT_LT((right->GetPosition() - left->GetPosition()).Length(), 21.0f);
  EXPECT_LT(right->GetPosition().x, 35) << "and swings";
  for (const b2Joint* j = state.world->GetJointList(); j; j = j->GetNext()) {
    if (j->GetType() != e_revoluteJoint) continue;
    EXPECT_LT((j->GetAnchorA() - j->GetAnchorB()).Length(), 0.2f) << "the links hold together";
  }

  state.ship = makeShip(state, 600, 200);
  b2Body* ground = boxAt(*state.world, 80, 20, b2_staticBody);
  const size_t before = state.built.size();
  build(Tool::rope, {600, 200}, {800, 200});
  EXPECT_EQ(jointCount(state.built[before]), 1) << "not tied to the ship";
  EXPECT_EQ(jointCount(newest()), 1) << "not tied to the ground";
  EXPECT_EQ(jointCount(ground), 0);
  EXPECT_EQ(handleFaults(state), "");
}

TEST_F(Building, PinsHoldABodyToTheWorldOrTwoTogether) {
  b2Body* lone = boxAt(*state.world, 20, 20);
  click(Tool::pin, {205, 200});
  ASSERT_EQ(state.pinAnchors.size(), 1u);
  step(60);
  EXPECT_NEAR((lone->GetWorldCenter() - b2Vec2(20.5f, 20)).Length(), 0.5f, 1e-2)
      << "it turns about the pin, a pin's distance from its centre";

  b2Body* a = boxAt(*state.world, 50, 20);
  b2Body* b = boxAt(*state.world, 51, 20);
  click(Tool::pin, {505, 200});
  EXPECT_TRUE(joined(a, b));
  EXPECT_EQ(state.pinAnchors.size(), 1u) << "two bodies are pinned to each other only";

  // Erasing the pinned body takes its anchor too.
  click(Tool::eraser, {200, 200});
  EXPECT_TRUE(state.pinAnchors.empty());
  EXPECT_EQ(bodyCount(), 2);
}

TEST_F(Building, TheEraserLeavesTheShipTheGroundAndTheHangingCar) {
  ConsoleCapture quiet;
  state.ship = makeShip(state, 150, 400);
  b2Body* ground = boxAt(*state.world, 60, 80, b2_staticBody);
  hangCraneCar(state);
  ASSERT_TRUE(state.craneCarHanging());
  const b2Vec2 ship = M2P * state.ship->GetPosition();
  const b2Vec2 car = M2P * state.car->GetPosition();
  const b2Vec2 wheel = M2P * state.wheel->GetBodyB()->GetPosition();
  const b2Vec2 arm = M2P * state.secondBras->GetWorldCenter();
  const int bodies = bodyCount();
  for (const b2Vec2& at : {ship, car, wheel, arm, b2Vec2(600, 800)}) {
    chooseTool(state, Tool::eraser);
    EXPECT_FALSE(leftPressActs(state, int(at.x), int(at.y)));
    click(Tool::eraser, at);
  }
  EXPECT_EQ(bodyCount(), bodies);
  EXPECT_NE(ground, nullptr);

  // Cut free, the car is anyone's; the body built on it goes with its joints.
  cutCableOrDestroyCars(state);
  cutCableOrDestroyCars(state);
  click(Tool::eraser, car);
  EXPECT_EQ(state.car, nullptr);
  click(Tool::box, {600, 300});
  build(Tool::rope, {600, 300}, {700, 300});
  b2Body* box = state.built.front();
  chooseTool(state, Tool::eraser);
  EXPECT_TRUE(leftPressActs(state, 600, 300));
  click(Tool::eraser, {600, 300});
  EXPECT_EQ(std::find(state.built.begin(), state.built.end(), box), state.built.end());
  EXPECT_EQ(jointCount(state.built.front()), 1) << "the rope's end is free again";
  EXPECT_EQ(handleFaults(state), "");
}

TEST_F(Building, PastTheLimitTheOldestBuiltBodiesGoWithOneLine) {
  chooseNextMetal(state);  // no draws said
  for (int i = 0; i < kBuiltBodyLimit; ++i) click(Tool::box, {float(20 * (i % 60)), float(i)});
  b2Body* second = state.built[1];
  EXPECT_TRUE(console.lines().empty());
  click(Tool::ball, {600, 600});
  EXPECT_EQ(state.built.size(), static_cast<size_t>(kBuiltBodyLimit));
  EXPECT_EQ(state.built.front(), second);
  EXPECT_EQ(console.lines(),
            std::vector<std::string>{"built bodies: 500 at most, the oldest goes"});
  // A rope of 10 links makes room for all of them at once.
  build(Tool::rope, {100, 500}, {150, 500});
  EXPECT_EQ(state.built.size(), static_cast<size_t>(kBuiltBodyLimit));
  EXPECT_EQ(console.lines().size(), 2u);
  EXPECT_EQ(handleFaults(state), "");
}

// Every tool, the toolbar's keys and F10, time stopped and restarted, and a
// way back in time across builds: the replay of the recording prints the same
// and ends on the same world.
TEST(BuildingRecorded, ARecordingWithEveryToolReplaysToTheLiveDigest) {
  const std::string path = ::testing::TempDir() + "build_tools_test.rec";
  auto scripted = [](long n, HeldKeys& held) {
    FrameInput in;
    auto press = [&](int symbol) { in.events.push_back({InputEvent::KeyPress, symbol, 0, 0}); };
    auto drag = [&](long start, int x, int y, int dx, int dy) {
      if (n == start) in.events.push_back({InputEvent::ButtonDown, 0, x, y});
      if (n > start && n < start + 5)
        in.events.push_back(
            {InputEvent::Motion, 0, x + dx * int(n - start) / 4, y + dy * int(n - start) / 4});
      if (n == start + 5) in.events.push_back({InputEvent::ButtonUp});
    };
    if (n == 2) press(key::P);
    if (n == 3 || n == 10 || n == 20 || n == 30 || n == 40 || n == 50) press(key::F8);
    if (n == 31) press(key::F10);
    drag(4, 500, 300, 40, 30);   // box
    drag(12, 700, 300, 20, 0);   // ball
    drag(22, 400, 200, 60, 10);  // plank
    drag(32, 505, 305, 200, 0);  // rope, from the box to the ball
    drag(42, 700, 300, 0, 0);    // pin, the ball to the world
    drag(70, 430, 205, 0, 0);    // eraser, the plank
    if (n == 80) press(key::P), press(key::F7), press(key::F7), press(key::F7), press(key::F7);
    drag(90, 800, 100, 30, 30);  // another ball, then back in time across it
    held[key::BACKSPACE] = n >= 100 && n < 110;
    drag(110, 900, 100, 30, 30);  // at once: a new course, not the future's ball again
    if (n == 200) in.events.push_back({InputEvent::Quit});
    in.held = held;
    return in;
  };

  std::vector<std::string> liveLines;
  std::string liveDigest;
  size_t roped = 0, built = 0;
  {
    ConsoleCapture console;
    RecordingWriter writer;
    std::string error;
    ASSERT_TRUE(writer.open(path, error)) << error;
    Recorder recorder(writer, [] { return std::time_t{1700000000}; });
    State state;
    startUpWithoutWindow(state);
    History history;
    HeldKeys held{};
    for (long frame = 1; state.running; ++frame) {
      const FrameInput input = scripted(frame, held);
      recorder.beginFrame();
      history.play(state, input);
      recorder.endFrame(input, *state.world);
      if (frame == 40) roped = state.built.size();
      if (frame == 95) built = state.built.size();
    }
    recorder.finish();
    writer.close();
    liveLines = console.lines();
    liveDigest = digestLine(worldDigest(*state.world));
    EXPECT_EQ(state.tool, Tool::ball);
    EXPECT_GT(roped, 3 + 10u) << "a box, a ball, a plank and the rope's links";
    EXPECT_EQ(built, roped) << "the plank erased, a ball built";
    EXPECT_EQ(state.built.size(), built) << "back in time past that ball, another built";
  }
  std::string error;
  const std::optional<Recording> recording = readRecording(path, error);
  std::remove(path.c_str());
  ASSERT_TRUE(recording) << error;

  ConsoleCapture console;
  Replay replay(*recording);
  State state;
  startUpWithoutWindow(state);
  History history;
  FrameInput input;
  while (state.running && replay.next(input)) history.play(state, input);
  EXPECT_EQ(console.lines(), liveLines);
  EXPECT_EQ(digestLine(worldDigest(*state.world)), liveDigest);
}

}  // namespace
