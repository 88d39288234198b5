// Going back in time: each picture with Backspace held is the world exactly as
// it was one frame earlier, without the console lines again; released, the
// game goes on from there. F5 and F9 across it, N and back past it, and the
// history kept within its budget.

#include "session/history.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "game/keys.h"
#include "session/digest.h"
#include "session/play_input.h"
#include "state/state.h"
#include "support/console_capture.h"
#include "support/pinned_clock.h"

namespace {

FrameInput scripted(long n) {
  FrameInput in;
  auto press = [&](int symbol, int x = 0, int y = 0) {
    in.events.push_back({InputEvent::KeyPress, symbol, x, y});
  };
  if (n == 5) press(key::B);
  if (n % 40 == 20) press(key::C, 300 + int(n), 300);
  if (n == 70) press(key::D);
  if (n == 90) press(key::LEFTBRACKET);
  if (n == 130) press(key::RIGHTBRACKET), press(key::RIGHTBRACKET);
  in.held[key::SPACE] = n % 4 != 0;
  in.held[key::RIGHT] = n > 100 && n < 150;
  return in;
}

FrameInput backspace(std::vector<int> presses = {}) {
  FrameInput in;
  in.held[key::BACKSPACE] = 1;
  for (int symbol : presses) in.events.push_back({InputEvent::KeyPress, symbol, 0, 0});
  return in;
}

class Going : public ::testing::Test {
 protected:
  Going() {
    ConsoleCapture quiet;
    startUpWithoutWindow(state);
    digestAt[0] = digest();
  }

  // The second follows the picture shown, as a person's clock would.
  void play(History& history, const FrameInput& input) {
    clock.set(1700000000 + (frame++) / 25);
    history.play(state, input);
    digestAt[history.now()] = worldDigest(*state.world);
  }
  std::uint64_t digest() const { return worldDigest(*state.world); }

  PinnedClock clock{1700000000};
  State state;
  long frame = 0;
  std::map<long, std::uint64_t> digestAt;  // the world at each moment first seen
};

}  // namespace

TEST_F(Going, BackspaceShowsEachEarlierMomentAndGoesOnFromThere) {
  History history;
  ConsoleCapture console;
  for (long n = 1; n <= 200; ++n) play(history, scripted(n));
  const std::map<long, std::uint64_t> first = digestAt;
  const std::string lines = console.text();
  ASSERT_FALSE(lines.empty());
  ASSERT_TRUE(state.distanceJoint == nullptr && state.distanceJoint2) << "the script cut a rod";

  // Back across fast forward, slow motion and the cut cable, one frame a picture.
  for (long back = 1; back <= 150; ++back) {
    history.play(state, backspace({key::C, key::B}));  // presses do nothing while going back
    ASSERT_EQ(history.now(), 200 - back);
    ASSERT_EQ(digest(), first.at(200 - back)) << "at " << 200 - back;
  }
  EXPECT_EQ(console.text(), lines) << "nothing printed again";
  EXPECT_EQ(state.speedShift, 0);

  // Released: the same input from there plays the same frames again.
  for (long n = 51; n <= 200; ++n) {
    clock.set(1700000000 + (n - 1) / 25);
    history.play(state, scripted(n));
    ASSERT_EQ(digest(), first.at(n)) << "at " << n;
  }
  // Something else from there drops what came after.
  for (int i = 0; i < 10; ++i) history.play(state, backspace());
  history.play(state, scripted(0));
  EXPECT_EQ(history.now(), 191);

  // Where the history ends it stops.
  for (int i = 0; i < 300; ++i) history.play(state, backspace());
  EXPECT_EQ(history.now(), 0);
  EXPECT_EQ(digest(), first.at(0));
  FrameInput quit = backspace({key::ESCAPE});
  history.play(state, quit);
  EXPECT_FALSE(state.running);
}

TEST_F(Going, KeptMomentAndNewWorldHoldAcrossGoingBack) {
  History history;
  ConsoleCapture console;
  auto only = [](int symbol) { return FrameInput{{{InputEvent::KeyPress, symbol, 0, 0}}, {}}; };
  for (long n = 1; n <= 80; ++n) play(history, scripted(n));
  clock.set(1600000000);
  history.play(state, only(key::F5));
  const std::uint64_t afterKept = digest();  // the kept moment and one frame with no keys
  for (long n = 82; n <= 130; ++n) play(history, scripted(n));
  const std::uint64_t before = digest();

  clock.set(1600000000);
  history.play(state, only(key::F9));
  EXPECT_EQ(digest(), afterKept);
  for (int i = 0; i < 5; ++i) history.play(state, FrameInput{});
  // Back past F9: the world before it.
  for (int i = 0; i < 6; ++i) history.play(state, backspace());
  EXPECT_EQ(digest(), before);
  for (int i = 0; i < 60; ++i) history.play(state, backspace());
  EXPECT_EQ(history.now(), 70);
  // The kept moment outlives going back to before it was kept.
  clock.set(1600000000);
  history.play(state, only(key::F9));
  EXPECT_EQ(digest(), afterKept);

  // N: a new world with the start-up's lines; back past it, the old one.
  console.clear();
  clock.set(1800000000);
  history.play(state, only(key::N));
  EXPECT_NE(console.text().find("SEED = "), std::string::npos);
  const std::uint64_t newWorld = digest();
  for (int i = 0; i < 30; ++i) history.play(state, FrameInput{});
  for (int i = 0; i < 31; ++i) history.play(state, backspace());
  EXPECT_EQ(digest(), afterKept);
  EXPECT_NE(digest(), newWorld);
}

TEST_F(Going, HistoryKeepsWithinItsBudget) {
  ConsoleCapture quiet;
  std::size_t snapshot = 0;  // what one snapshot of the start takes, packed
  {
    History one;
    one.play(state, FrameInput{});
    snapshot = one.bytes();
  }
  {
    // Room for a few snapshots: the oldest go.
    History history(8 * snapshot);
    for (long n = 1; n <= 600; ++n) history.play(state, scripted(n % 200 + 1));
    EXPECT_LE(history.bytes(), 8 * snapshot);
    EXPECT_GT(history.oldest(), 0);
  }
  // Room for 65 snapshots of the start (they grow): the older ones thin out.
  History history(65 * snapshot);
  for (long n = 1; n <= 3000; ++n) play(history, scripted(n % 200 + 1));
  EXPECT_LE(history.bytes(), 65 * snapshot);
  EXPECT_GT(history.longestGap(), History::kInterval);
  EXPECT_LE(history.longestGap(), 8 * History::kInterval);
  for (int back = 1; back <= 90; ++back) {
    history.play(state, backspace());
    ASSERT_EQ(digest(), digestAt.at(3000 - back)) << "at " << 3000 - back;
  }
}
