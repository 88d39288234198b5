// A moment kept and returned to: the frames after it step exactly as the first
// time, whatever happened in between (a grab, stopped time, a plain car, a cut
// cable, the landscape scrolling and shedding debris).

#include "state/snapshot.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "base/region.h"
#include "game/keys.h"
#include "recording/digest.h"
#include "recording/frame_input.h"
#include "session/play_input.h"
#include "state/state.h"
#include "support/console_capture.h"
#include "support/pinned_clock.h"

namespace {

// Frame n's input; the pointer goes to the crane car wherever it is.
FrameInput scripted(const State& state, long n) {
  FrameInput in;
  auto add = [&](InputEvent::Kind kind, int symbol = 0, int x = 0, int y = 0) {
    in.events.push_back({kind, symbol, x, y});
  };
  if (n == 5) add(InputEvent::KeyPress, key::B);
  if (n == 45) add(InputEvent::KeyPress, key::C, 700, 300);
  const b2Vec2 car = state.car ? M2P * state.car->GetPosition() : b2Vec2(0, 0);
  if (n == 50 && state.car) add(InputEvent::ButtonDown, 0, int(car.x), int(car.y));
  if (n > 50 && n < 70) add(InputEvent::Motion, 0, 600 + 2 * int(n), 400);
  if (n == 70) add(InputEvent::ButtonUp);
  if (n == 80) add(InputEvent::KeyPress, key::D);
  if (n == 90 || n == 100) add(InputEvent::KeyPress, key::P);
  if (n == 95) add(InputEvent::KeyPress, key::O);
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
  // Our b2Alloc_Default is the one Box2D calls: the world's memory is the region's.
  EXPECT_TRUE(region::contains(state.world.get()));
  EXPECT_TRUE(region::contains(state.ship->GetFixtureList()));
  play(1, 40);
  const Snapshot kept = takeSnapshot(state);
  const Played first = play(40, 160);
  ASSERT_TRUE(state.plainCars.size() == 1 && !state.distanceJoint && state.distanceJoint2)
      << "the script made its plain car and cut one rod of the cable";
  ASSERT_FALSE(first.lines.empty());

  restoreSnapshot(state, kept);
  const Played second = play(40, 160);
  EXPECT_EQ(second.digest, first.digest);
  EXPECT_EQ(second.lines, first.lines);

  // And as often as wanted, from a moment taken in the middle of a grab.
  restoreSnapshot(state, kept);
  play(40, 60);
  const Snapshot grabbing = takeSnapshot(state);
  ASSERT_NE(state.mouseJoint, nullptr);
  for (int twice = 0; twice < 2; ++twice) {
    EXPECT_EQ(play(60, 160).digest, first.digest);
    restoreSnapshot(state, grabbing);
  }
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
