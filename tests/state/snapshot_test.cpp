// A moment kept and returned to: the frames after it step exactly as they
// stepped the first time, whatever happened in between (a grab, stopped time,
// a plain car, a cut cable, the landscape scrolling and shedding debris).

#include "state/snapshot.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "base/region.h"
#include "game/keys.h"
#include "session/digest.h"
#include "session/frame_input.h"
#include "session/play_input.h"
#include "state/state.h"
#include "support/console_capture.h"
#include "support/pinned_clock.h"

namespace {

// Frame n's input; the pointer is aimed at the crane car wherever it is, which
// is the same in both runs when the world is.
FrameInput scripted(const State& state, long n) {
  FrameInput in;
  auto press = [&](int symbol, int x = 0, int y = 0) {
    in.events.push_back({InputEvent::KeyPress, symbol, x, y});
  };
  if (n == 5) press(key::B);
  if (n == 45) press(key::C, 700, 300);
  if (n == 50 && state.car) {
    const b2Vec2 p = M2P * state.car->GetPosition();
    in.events.push_back({InputEvent::ButtonDown, 0, int(p.x), int(p.y)});
  }
  if (n > 50 && n < 70) in.events.push_back({InputEvent::Motion, 0, 600 + 2 * int(n), 400});
  if (n == 70) in.events.push_back({InputEvent::ButtonUp});
  if (n == 80) press(key::D);
  if (n == 90 || n == 100) press(key::P);
  if (n == 95) press(key::O);
  in.held[key::SPACE] = n % 3 != 0;
  in.held[key::RIGHT] = n > 100 && n < 130;
  in.held[key::KP6] = n > 110;
  return in;
}

struct Played {
  std::uint64_t digest;
  std::vector<std::string> lines;
};

class Snapshots : public ::testing::Test {
 protected:
  Snapshots() {
    ConsoleCapture quiet;
    startUpWithoutWindow(state);
  }

  // Frames from..to-1, the clock's second a function of the frame alone.
  Played play(long from, long to) {
    ConsoleCapture console;
    for (long n = from; n < to; ++n) {
      clock.set(1700000000 + n / 20);
      playInput(state, scripted(state, n), nullptr);
    }
    return {worldDigest(*state.world), console.lines()};
  }

  PinnedClock clock{1700000000};
  State state;
};

}  // namespace

TEST_F(Snapshots, FramesAfterARestoreStepAsTheyDidTheFirstTime) {
  // The world and what it allocates live in the region: our b2Alloc_Default
  // is the one the library calls.
  EXPECT_TRUE(region::contains(state.world.get()));
  EXPECT_TRUE(region::contains(state.ship) && region::contains(state.ship->GetFixtureList()));
  play(1, 40);
  const Snapshot kept = takeSnapshot(state);
  const Played first = play(40, 160);
  ASSERT_TRUE(state.plainCars.size() == 1 && !state.distanceJoint && state.distanceJoint2)
      << "the script made its plain car and cut one rod of the cable";
  ASSERT_FALSE(first.lines.empty());

  restoreSnapshot(state, kept);
  EXPECT_EQ(state.plainCars.size(), 0u);
  EXPECT_NE(state.distanceJoint, nullptr);
  const Played second = play(40, 160);
  EXPECT_EQ(second.digest, first.digest);
  EXPECT_EQ(second.lines, first.lines);

  // And as often as wanted, from a moment taken in the middle of a grab.
  restoreSnapshot(state, kept);
  play(40, 60);
  const Snapshot grabbing = takeSnapshot(state);
  ASSERT_NE(state.mouseJoint, nullptr);
  const Played third = play(60, 160);
  restoreSnapshot(state, grabbing);
  EXPECT_EQ(play(60, 160).digest, third.digest);
  EXPECT_EQ(third.digest, first.digest);
}

TEST_F(Snapshots, RestoreRefusesAnotherStateOrASecondWorld) {
  const Snapshot kept = takeSnapshot(state);
  {
    State other;
    EXPECT_THROW(restoreSnapshot(other, kept), std::logic_error);
    ConsoleCapture quiet;
    startUpWithoutWindow(other);
    EXPECT_THROW(restoreSnapshot(state, kept), std::logic_error);
    EXPECT_THROW(takeSnapshot(state), std::logic_error);
  }
  EXPECT_NO_THROW(restoreSnapshot(state, kept));
}
