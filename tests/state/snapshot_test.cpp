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
#include "game/moments.h"
#include "recording/digest.h"
#include "recording/frame_input.h"
#include "session/play_input.h"
#include "state/keyframe.h"
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

// A keyframe restores into another state, as in another process: the bodies'
// user data and the listeners point at the new state, the frames after it
// step as they did, and F5's moment comes back with F9, also where it was
// held packed (as the history holds a moment the game had left). A damaged
// one is refused and leaves the region empty for a new world.
TEST_F(Snapshots, AKeyframeRestoresIntoAnotherStateWithItsPointersThere) {
  play(1, 60);
  ASSERT_NE(state.mouseJoint, nullptr) << "in the middle of a grab";
  keepMoment(state);
  const std::uint64_t atF5 = worldDigest(*state.world);
  play(60, 65);
  SnapshotPacker packer;
  state.keptMoment->packInPlace(packer);
  ASSERT_TRUE(state.keptMoment->region.empty());
  std::string bytes, why;
  ASSERT_TRUE(encodeMoment(state, bytes, why)) << why;
  const Played first = play(65, 160);
  returnToKeptMoment(state);
  EXPECT_EQ(worldDigest(*state.world), atF5);
  state.keptMoment.reset();
  state.world.reset();

  for (const std::size_t cut : {std::size_t{0}, bytes.size() / 2, bytes.size() - 1}) {
    std::string damaged = cut ? bytes.substr(0, cut) : bytes;
    if (!cut) damaged[damaged.size() / 2] ^= 4;
    State refused;
    EXPECT_FALSE(decodeMoment(refused, damaged, why)) << cut;
    EXPECT_EQ(region::worlds(), 0);
    EXPECT_FALSE(refused.world);
  }
  {
    State fresh;  // the region is whole again after a refusal
    ConsoleCapture quiet;
    startUpWithoutWindow(fresh);
  }

  State other;
  ASSERT_TRUE(decodeMoment(other, bytes, why)) << why;
  const auto inOther = [&](std::uintptr_t p) {
    return p >= reinterpret_cast<std::uintptr_t>(&other) &&
           p < reinterpret_cast<std::uintptr_t>(&other + 1);
  };
  int pointing = 0;
  for (const b2Body* b = other.world->GetBodyList(); b; b = b->GetNext()) {
    const std::uintptr_t data = const_cast<b2Body*>(b)->GetUserData().pointer;
    EXPECT_TRUE(data == 0 || inOther(data));
    pointing += data == reinterpret_cast<std::uintptr_t>(&other.ground);
  }
  EXPECT_GT(pointing, 0) << "the discs mark themselves by the state's ground";
  EXPECT_EQ(other.world->GetContactManager().m_contactListener, &other.listener);
  ASSERT_NE(other.mouseJoint, nullptr);
  ConsoleCapture console;
  for (long n = 65; n < 160; ++n) {
    clock.set(1700000000 + n / 20);
    playInput(other, scripted(other, n), nullptr);
  }
  EXPECT_EQ(worldDigest(*other.world), first.digest);
  EXPECT_EQ(console.lines(), first.lines);
  returnToKeptMoment(other);
  EXPECT_EQ(worldDigest(*other.world), atF5);
}
