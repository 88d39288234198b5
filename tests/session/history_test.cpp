// Going back in time: each picture with Backspace held is the world exactly as
// it was one frame earlier, without the console lines again; released, the game
// goes on from there. F5 and F9 across it, N and back past it, and the budget.

#include "session/history.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "game/keys.h"
#include "recording/digest.h"
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
    digestAt[history.now()] = digest();
  }
  // Backspace held for that many frames; the presses come with each.
  void back(History& history, int frames, const std::vector<int>& presses = {}) {
    FrameInput in;
    in.held[key::BACKSPACE] = 1;
    for (int symbol : presses) in.events.push_back({InputEvent::KeyPress, symbol, 0, 0});
    for (int i = 0; i < frames; ++i) history.play(state, in);
  }
  void press(History& history, int symbol, std::time_t second) {
    clock.set(second);
    history.play(state, FrameInput{{{InputEvent::KeyPress, symbol, 0, 0}}, {}});
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
  ASSERT_TRUE(!lines.empty() && !state.distanceJoint && state.distanceJoint2) << "a rod is cut";

  // Back across fast forward, slow motion and the cut cable, one frame a picture;
  // presses do nothing while going back.
  for (long at = 199; at >= 50; --at) {
    back(history, 1, {key::C, key::B});
    ASSERT_EQ(history.now(), at);
    ASSERT_EQ(digest(), first.at(at)) << "at " << at;
  }
  EXPECT_EQ(console.text(), lines) << "nothing printed again";
  EXPECT_EQ(state.speedShift, 0);

  // Released: the same input from there plays the same frames again.
  frame = 50;
  for (long n = 51; n <= 200; ++n) {
    play(history, scripted(n));
    ASSERT_EQ(digest(), first.at(n)) << "at " << n;
  }
  // Something else from there drops what came after; where the history ends it stops.
  back(history, 10);
  history.play(state, scripted(0));
  EXPECT_EQ(history.now(), 191);
  back(history, 300);
  EXPECT_EQ(history.now(), 0);
  EXPECT_EQ(digest(), first.at(0));
  back(history, 1, {key::ESCAPE});
  EXPECT_FALSE(state.running);
}

TEST_F(Going, KeptMomentAndNewWorldHoldAcrossGoingBack) {
  History history;
  ConsoleCapture console;
  for (long n = 1; n <= 80; ++n) play(history, scripted(n));
  press(history, key::F5, 1600000000);
  const std::uint64_t afterKept = digest();  // the kept moment and one frame with no keys
  for (long n = 82; n <= 130; ++n) play(history, scripted(n));
  const std::uint64_t before = digest();

  press(history, key::F9, 1600000000);
  EXPECT_EQ(digest(), afterKept);
  for (int i = 0; i < 5; ++i) history.play(state, FrameInput{});
  back(history, 6);  // past F9: the world before it
  EXPECT_EQ(digest(), before);
  back(history, 60);
  EXPECT_EQ(history.now(), 70);
  press(history, key::F9, 1600000000);  // the kept moment outlives going back to before it
  EXPECT_EQ(digest(), afterKept);

  // N: a new world with the start-up's lines; back past it, the old one.
  console.clear();
  press(history, key::N, 1800000000);
  EXPECT_NE(console.text().find("SEED = "), std::string::npos);
  EXPECT_NE(digest(), afterKept);
  for (int i = 0; i < 30; ++i) history.play(state, FrameInput{});
  back(history, 31);
  EXPECT_EQ(digest(), afterKept);
}

TEST_F(Going, HistoryKeepsWithinItsBudget) {
  ConsoleCapture quiet;
  std::size_t snapshot = 0;  // what one snapshot of the start takes, packed
  {
    History one;
    one.play(state, FrameInput{});
    snapshot = one.bytes();
  }
  {  // room for a few snapshots: the oldest go
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
  for (int at = 2999; at >= 2910; --at) {
    back(history, 1);
    ASSERT_EQ(digest(), digestAt.at(at)) << "at " << at;
  }
}
