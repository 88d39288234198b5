#include "game/figures.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "bodies/ship.h"
#include "fixtures/frame_probe.h"
#include "fixtures/world_fixture.h"
#include "game/controls.h"
#include "game/keys.h"
#include "support/console_capture.h"
#include "support/pinned_clock.h"

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

namespace {

// Pictures of the real game measured as F3 measures them, by a clock that the
// test moves: each reading takes a millisecond (a step, read before and after,
// takes one), and each picture's painting takes `drawing` more.
struct MeasuredPictures : FiguresTest {
  ConsoleCapture quiet;
  PinnedClock seconds{1700000000};
  double now = 1000, drawing = 0;
  long reads = 0;
  FigureMeter meter{[this] {
    ++reads;
    return now++;
  }};
  FrameProbe painter;
  const std::array<unsigned char, key::COUNT> noKeys{};

  MeasuredPictures() {
    state.ship = makeShip(state, 150, 840);
    box(10, 21, b2_staticBody);
    box(10, 10);
    painter.afterWalk = [this] { now += drawing; };
  }
  void press(int symbol, int times = 1) {
    for (int i = 0; i < times; ++i) onKeyPress(state, symbol, 0, 0);
  }
  // One picture as the program plays it: its key presses, then its frames;
  // returns its work by the clock.
  double picture(const std::function<void()>& presses = {}) {
    const double start = now;
    meter.beginFrame(state.frameTimes);
    if (presses) presses();
    playFrame(state, noKeys.data(), &painter);
    meter.endFrame(state.frameTimes, *state.world);
    return now - 1 - start;  // the last reading ends it
  }
  // The panel's line that begins with `label`, whatever lines come before it.
  std::string line(const std::string& label) const {
    for (const std::string& l : figureLines(meter.figures()))
      if (l.compare(0, label.size(), label) == 0) return l;
    return "no line " + label;
  }
};

}  // namespace

// The step is every step the picture played, a dash on a picture without one;
// the drawing is the rest; a restored moment or a new world starts the
// figures again, so nothing measured before it shows.
TEST_F(MeasuredPictures, StepSumsThePicturesStepsDrawingExcludesThemARestoreStartsAfresh) {
  const Figures& f = meter.figures();
  drawing = 100;
  press(key::RIGHTBRACKET, 3);
  ASSERT_EQ(state.speedShift, 3);
  const double x8 = picture();
  EXPECT_EQ(state.frameTimes.steps, 8);
  EXPECT_EQ(line("step"), "step      8.00 ms") << "all eight steps, not the last alone";
  EXPECT_DOUBLE_EQ(f.drawMs, x8 - 8) << "the steps are not drawing";
  EXPECT_GE(f.drawMs, drawing);

  // Unmeasured, a picture reads no clock: F3 hidden changes nothing.
  const long readings = reads;
  playFrame(state, noKeys.data(), &painter);
  EXPECT_EQ(reads, readings);

  // At 1/8, one picture in eight steps; the others read a dash, and their
  // whole work is drawing (nothing left over of the last step).
  press(key::LEFTBRACKET, 6);
  ASSERT_EQ(state.speedShift, -3);
  // A second apart, the figures are each picture's alone.
  now += 2000;
  picture();
  EXPECT_EQ(line("step"), "step      1.00 ms");
  for (int i = 1; i < 8; ++i) {
    now += 2000;
    const double work = picture();
    EXPECT_EQ(line("step"), "step      -") << "picture " << i << " does not step";
    EXPECT_DOUBLE_EQ(f.drawMs, work);
  }
  picture();
  EXPECT_EQ(line("step"), "step      1.00 ms") << "the next step shows at once";
  press(key::P);
  picture();
  EXPECT_EQ(line("step"), "step      -") << "stopped time";

  // F9 and N: the pictures before, heavier, leave nothing in the figures; nor
  // does what the restoring picture did before its restore (500 ms).
  press(key::P);
  press(key::RIGHTBRACKET, 3);
  ASSERT_EQ(state.speedShift, 0);
  press(key::F5);
  const int kept = bodyCount();
  for (float x : {20.0f, 24.0f, 28.0f}) box(x, 10);
  for (int i = 0; i < 5; ++i) picture();
  ASSERT_NE(line("frames/s"), "frames/s  -");
  ASSERT_EQ(f.counts.bodies, kept + 3);
  const auto restoringPicture = [&](int symbol) {
    for (int i = 0; i < 5; ++i) picture();
    drawing = 7;
    picture([&] {
      now += 500;
      press(symbol);
    });
    drawing = 100;
    EXPECT_EQ(f.counts.bodies, bodyCount()) << "counted in the world now there";
    EXPECT_EQ(line("step"), "step      1.00 ms");
    EXPECT_GE(f.drawMs, 7);
    EXPECT_LT(f.drawMs, 100) << "neither the heavier pictures nor the 500 ms before";
    EXPECT_EQ(line("frames/s"), "frames/s  -") << "no picture before counts towards a rate";
  };
  restoringPicture(key::F9);
  EXPECT_EQ(bodyCount(), kept) << "F9 took the three boxes away";
  restoringPicture(key::N);
}
