// Going back in time: each picture with Backspace held is the world exactly as
// it was one frame earlier, without the console lines again; released, the game
// goes on from there. F5 and F9 across it, N and back past it, and the budget.

#include "session/history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "game/body_walk.h"
#include "game/keys.h"
#include "recording/digest.h"
#include "recording/recording_reader.h"
#include "session/play_input.h"
#include "session/recorder.h"
#include "session/replay.h"
#include "session/session.h"
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
  void play(History& history, const FrameInput& input, BodyPainter* painter = nullptr) {
    clock.set(1700000000 + (frame++) / 25);
    history.play(state, input, painter);
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

// Without snapshots (a replay that never goes back) nothing is kept and
// Backspace stays put; back on, the history goes back as far as it has kept,
// to the very worlds, a restore waiting for a packing that may still be going on.
TEST_F(Going, WithoutSnapshotsNothingIsKeptUntilTheyAreBackOn) {
  ConsoleCapture quiet;
  History history;
  history.keepSnapshots(false);
  for (long n = 1; n <= 150; ++n) play(history, scripted(n));
  EXPECT_EQ(history.snapshots(), 0u);
  EXPECT_EQ(history.bytes(), 0u);
  back(history, 5);
  EXPECT_EQ(history.now(), 150);
  EXPECT_EQ(digest(), digestAt.at(150));

  history.keepSnapshots(true);
  for (long n = 151; n <= 215; ++n) play(history, scripted(n));
  EXPECT_EQ(history.oldest(), 150);
  for (long at = 214; at >= 150; at -= 16) {
    back(history, at == 214 ? 1 : 16);
    ASSERT_EQ(digest(), digestAt.at(at)) << "at " << at;
  }
  back(history, 30);
  EXPECT_EQ(history.now(), 150);
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
  // Back to before the F5, no moment is kept: F9 plays as a frame without keys
  // (R, whose list is empty, is one that leaves the future kept).
  press(history, key::R, 1600000000);
  const std::uint64_t plain = digest();
  back(history, 1);
  press(history, key::F9, 1600000000);
  EXPECT_EQ(digest(), plain);
  EXPECT_NE(digest(), afterKept);

  // N: a new world with the start-up's lines; back past it, the old one.
  console.clear();
  press(history, key::N, 1800000000);
  EXPECT_NE(console.text().find("SEED = "), std::string::npos);
  EXPECT_NE(digest(), plain);
  for (int i = 0; i < 30; ++i) history.play(state, FrameInput{});
  back(history, 31);
  EXPECT_EQ(digest(), plain);
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
  // Beside them, room for the ladder that going back lays through the gaps.
  const std::size_t ladder = 200 * snapshot;
  History history(65 * snapshot + ladder);
  history.setLadderRoom(ladder);
  for (long n = 1; n <= 3000; ++n) play(history, scripted(n % 200 + 1));
  EXPECT_LE(history.bytes(), 65 * snapshot);
  EXPECT_GT(history.longestGap(), History::kInterval);
  EXPECT_LE(history.longestGap(), 8 * History::kInterval);
  // Back through the newest snapshots and on through thinned gaps: after the
  // first picture, none plays more than a rung's step (8 frames) to its
  // moment and as many to fill the ladder below, wherever the snapshots are.
  long most = 0;
  for (int at = 2999; at >= 2250; --at) {
    back(history, 1);
    ASSERT_EQ(digest(), digestAt.at(at)) << "at " << at;
    if (at < 2999) most = std::max(most, history.playedAgain());
    ASSERT_LE(history.ladderBytes(), ladder);
  }
  EXPECT_LE(most, 15);
  // Likewise from a moment inside a gap that a click on the bar went to, from
  // the first picture on.
  FrameInput seek;
  seek.events.push_back({InputEvent::Seek, seekOnBar, 1733, 0});
  history.play(state, seek);
  for (int at = 1732; at >= 1600; --at) {
    back(history, 1);
    ASSERT_EQ(digest(), digestAt.at(at)) << "at " << at;
    ASSERT_LE(history.playedAgain(), 15) << "at " << at;
  }
  // With Shift, eight frames a picture, and the ladder filled twice as fast.
  FrameInput fast;
  fast.held[key::BACKSPACE] = fast.held[key::LSHIFT] = 1;
  for (long at = 1592; at >= 1280; at -= 8) {
    history.play(state, fast);
    ASSERT_EQ(digest(), digestAt.at(at)) << "at " << at;
    ASSERT_LE(history.playedAgain(), 7 + 16) << "at " << at;
  }
  // From a moment on a snapshot at the top of the widest thinned gap, or just
  // above it, where Backspace enters the gap within a few pictures: the seek
  // fills what the pictures could not, playing no more than the gap; no
  // picture plays more than 32 frames filling and 7 to its moment, into the
  // gap and (once) down through it.
  std::pair<long, long> gap{0, 0};
  for (const auto& g : history.summary().thinned)
    if (g.second - g.first > gap.second - gap.first) gap = g;
  const auto [low, high] = gap;
  ASSERT_GT(high - low, 2 * History::kInterval);
  for (long above : {12, 0, 1}) {
    seek.events[0].x = static_cast<int>(high + above);
    history.play(state, seek);
    ASSERT_EQ(digest(), digestAt.at(high + above));
    EXPECT_LE(history.playedAgain(), high - low) << "seek to " << high + above;
    // (Frame 0's world here is not the fixture's start: the test played on it before.)
    const long last = above == 1 ? std::max({low - 20, history.oldest(), 1L}) : high - 40;
    for (long at = high + above - 1; at >= last; --at) {
      back(history, 1);
      ASSERT_EQ(digest(), digestAt.at(at)) << "at " << at;
      ASSERT_LE(history.playedAgain(), 32 + 7) << "at " << at << " from " << high + above;
    }
  }
  EXPECT_LE(history.bytes(), 65 * snapshot);
  // Released, the game goes on from there and the ladder is let go.
  play(history, scripted(1));
  EXPECT_EQ(history.ladderBytes(), 0u);
}

namespace {

// Cars, a scroll and B, with F5 at 100, F9 at 400 and F5 again at 500.
FrameInput twoMoments(long n) {
  FrameInput in;
  auto press = [&](int symbol, int x = 0, int y = 0) {
    in.events.push_back({InputEvent::KeyPress, symbol, x, y});
  };
  if (n == 5) press(key::B);
  if (n % 60 == 30) press(key::C, 200 + int(n % 400), 300);
  if (n == 100 || n == 500) press(key::F5);
  if (n == 400) press(key::F9);
  in.held[key::SPACE] = n % 3 != 0;
  in.held[key::RIGHT] = n % 200 < 40;
  return in;
}
constexpr long kTwoMomentsEnd = 700;

std::string worldNow(const State& state) { return digestLine(worldDigest(*state.world)); }

// What a session of `frames` frames of `script` records, played through a history.
std::string recordedThroughHistory(FrameInput (*script)(long), long frames) {
  long frame = 0;
  Recorder recorder([&] { return std::time_t{1700000000} + frame / 60; });
  State state;
  startUpWithoutWindow(state);
  History history;
  while (frame < frames) {
    const FrameInput input = script(++frame);
    recorder.beginFrame();
    history.play(state, input);
    recorder.endFrame(input, *state.world);
  }
  return recorder.textSoFar();
}

// The recording's frames up to `last` (all: -1) through a history, then these
// frames; the world at the end.
std::string played(const Recording& recording, long last,
                   const std::vector<FrameInput>& then = {}) {
  Replay replay(recording);
  State state;
  startUpWithoutWindow(state);
  History history;
  history.keepFuture(recording.version >= 3);  // as a session opens it
  FrameInput input;
  while (state.running && (last < 0 || replay.frames() < last) && replay.next(input))
    history.play(state, input);
  for (const FrameInput& in : then) history.play(state, in);
  return worldNow(state);
}

}  // namespace

// F5 at one frame, F9 later, F5 again: a windowed replay taken back to before
// the F9 plays on to the headless world, and a session taken over between the
// F9 and the second F5 returns with F9 to the first kept moment, as a run that
// never went back does; its save replays to the live world.
TEST(GoingBack, TheKeptMomentGoesBackWithTheWorld) {
  ConsoleCapture quiet;
  const std::string path = ::testing::TempDir() + "two_moments_test.rec";
  std::string text = recordedThroughHistory(twoMoments, kTwoMomentsEnd);
  std::ofstream(path) << text;
  std::string error;
  const std::optional<Recording> recording = parseRecording(text, path, error);
  ASSERT_TRUE(recording) << error;
  const std::string headless = played(*recording, -1);

  // Pictures of a windowed replay: with Backspace held, or with these keys pressed.
  auto play = [](Session& session, State& state, int pictures, std::vector<int> keys = {},
                 bool back = false) {
    FrameInput in;
    in.held[key::BACKSPACE] = back;
    for (int symbol : keys) in.events.push_back({InputEvent::KeyPress, symbol});
    for (int n = 0; n < pictures; ++n)
      if (!session.play(state, in, nullptr)) return false;
    return true;
  };
  SessionOptions options;
  options.replay = path;
  options.quitAtEnd = true;
  {  // back from 600 to 300, before the F9, and on to the end
    std::unique_ptr<Session> session = Session::open(options);
    ASSERT_TRUE(session);
    State state;
    startUpWithoutWindow(state);
    ASSERT_TRUE(play(*session, state, 600));
    ASSERT_TRUE(play(*session, state, 300, {}, true));
    while (play(*session, state, 1)) {
    }
    EXPECT_EQ(worldNow(state), headless);
    EXPECT_EQ(session->finish(state), 0);
  }

  // Back from 600 to 450, between the F9 and the second F5; taken over there
  // (the picture of T plays no keys), F9 and P.
  FrameInput f9, pause, none;
  f9.events.push_back({InputEvent::KeyPress, key::F9});
  pause.events.push_back({InputEvent::KeyPress, key::P});
  const std::vector<FrameInput> then{none, f9, pause, none};
  const std::string straight = played(*recording, 450, then);
  std::string live;
  {
    std::unique_ptr<Session> session = Session::open(options);
    ASSERT_TRUE(session);
    State state;
    startUpWithoutWindow(state);
    ASSERT_TRUE(play(*session, state, 600));
    ASSERT_TRUE(play(*session, state, 150, {}, true));
    session->takeOver();
    for (FrameInput in : then) ASSERT_TRUE(session->play(state, in, nullptr));
    live = worldNow(state);
    text = session->textSoFar();
  }
  std::remove(path.c_str());
  EXPECT_EQ(live, straight);
  const std::optional<Recording> saved = parseRecording(text, "saved.rec", error);
  ASSERT_TRUE(saved) << error;
  EXPECT_EQ(played(*saved, -1), live);
}

// F5 and F9 every few frames: beyond the newest few, the snapshots kept after
// them thin out like the others, so the history reaches as far back as without
// them, the moments the game no longer holds are packed, and going back
// through the frames played again is exact.
TEST_F(Going, FrequentMomentsThinOutLikeTheOthers) {
  ConsoleCapture quiet;
  std::size_t snapshot = 0;
  {
    History one;
    one.play(state, FrameInput{});
    snapshot = one.bytes();
  }
  // Each snapshot kept after an F5 holds a moment of its own, unpacked.
  const std::size_t moment = sizeof(Snapshot) + takeSnapshot(state).region.size();
  History history(65 * snapshot + 20 * moment);
  for (long n = 1; n <= 3000; ++n) {
    FrameInput in = scripted(n % 200 + 1);
    if (n % 7 == 3) in.events.push_back({InputEvent::KeyPress, key::F5, 0, 0});
    if (n % 11 == 5) in.events.push_back({InputEvent::KeyPress, key::F9, 0, 0});
    if (n == 2900) in.events.push_back({InputEvent::KeyPress, key::N, 0, 0});
    play(history, in);
  }
  // Kept to the newest 20 or so, they would reach back about 100 frames.
  EXPECT_LE(history.bytes(), 65 * snapshot + 20 * moment);
  EXPECT_GE(history.now() - history.oldest(), 2000);
  EXPECT_LE(history.longestGap(), 8 * History::kInterval);
  // Counted whole, but only the game's own moment is held so: the others are
  // packed, F9 after going back unpacks them (the walk back below checks it).
  EXPECT_LT(history.heldBytes(), history.bytes() / 2);
  for (int at = 2999; at >= 2850; --at) {
    back(history, 1);
    ASSERT_EQ(digest(), digestAt.at(at)) << "at " << at;
  }
}

namespace {

FrameInput seekInput(int by, long frame, int branch = 0) {
  FrameInput in;
  in.events.push_back({InputEvent::Seek, by, static_cast<int>(frame), branch});
  return in;
}

}  // namespace

// Back by the bar and on again through the future kept: seeks, `.`, and P
// going on along it play the same frames; time stands still after a seek.
TEST_F(Going, TheFutureKeptPlaysAgainExactly) {
  // Where each body is drawn: the walk's picture, before the step, between two
  // poses in slow motion.
  struct Picture : BodyPainter {
    explicit Picture(const State& s) : state(s) {}
    void beginFrame() override { drawn.clear(); }
    void paint(b2Body* b) override {
      const BodyPose pose = drawnPose(state, b);
      drawn.push_back(pose.position.x), drawn.push_back(pose.position.y);
    }
    const State& state;
    std::vector<float> drawn;
  } picture(state);
  std::map<long, std::vector<float>> pictureAt;
  History history;
  ConsoleCapture console;
  for (long n = 1; n <= 300; ++n) {
    play(history, scripted(n), &picture);
    pictureAt[history.now()] = picture.drawn;
  }
  const std::map<long, std::uint64_t> first = digestAt;
  const std::string lines = console.text();

  for (long at : {75L, 225L, 12L, 299L, 300L, 100L}) {
    history.play(state, seekInput(seekOnBar, at));
    ASSERT_EQ(history.now(), at);
    ASSERT_EQ(digest(), first.at(at)) << "at " << at;
    EXPECT_TRUE(state.paused) << "time stands still where a seek went";
  }
  EXPECT_EQ(history.end(), 300) << "nothing played: the future stays";
  // Still: frames without input hold the picture; P goes on along the future.
  for (int i = 0; i < 5; ++i) history.play(state, FrameInput{});
  EXPECT_EQ(history.now(), 100);
  auto p = [&] { history.play(state, FrameInput{{{InputEvent::KeyPress, key::P}}, {}}); };
  p();  // with the frame it goes on to, slowed down, then at double speed
  EXPECT_EQ(digest(), first.at(101));
  for (long at = 102; at <= 220; ++at) {
    history.play(state, FrameInput{}, &picture);
    ASSERT_EQ(digest(), first.at(at)) << "at " << at;
    ASSERT_EQ(picture.drawn, pictureAt.at(at)) << "drawn as the first time, at " << at;
  }
  // P while it plays stops it there, and P again goes on.
  p();
  history.play(state, FrameInput{});
  EXPECT_EQ(history.now(), 220);
  p();
  for (long at = 222; at <= 300; ++at) history.play(state, FrameInput{});
  EXPECT_EQ(history.now(), 300);
  EXPECT_EQ(digest(), first.at(300));
  EXPECT_EQ(console.text(), lines) << "nothing printed again";
  EXPECT_EQ(history.branchCount(), 0u);
  // Shift with Backspace: eight frames back a picture, and the bar says how far.
  FrameInput fast;
  fast.held[key::BACKSPACE] = fast.held[key::LSHIFT] = 1;
  for (int i = 0; i < 2; ++i) history.play(state, fast);
  EXPECT_EQ(history.now(), 284);
  EXPECT_EQ(digest(), first.at(284));
  EXPECT_EQ(history.summary().backBy, 16);
}

// A change of course keeps the future left as a branch; switching to it
// brings back its world, and keeps the course left as a branch in turn.
TEST_F(Going, ANewCourseKeepsTheFutureAsABranch) {
  History history;
  ConsoleCapture quiet;
  for (long n = 1; n <= 240; ++n) play(history, scripted(n));
  const std::map<long, std::uint64_t> first = digestAt;
  history.play(state, seekInput(seekOnBar, 100));
  // C at 100: a new course, with its own car.
  history.play(state, FrameInput{{{InputEvent::KeyPress, key::C, 700, 200}}, {}});
  history.play(state, FrameInput{{{InputEvent::KeyPress, key::P}}, {}});
  for (int i = 0; i < 80; ++i) history.play(state, scripted(3));
  const std::uint64_t course = digest();
  ASSERT_EQ(history.now(), 182);
  ASSERT_NE(course, first.at(182));

  TimelineSummary t = history.summary();
  ASSERT_EQ(t.branches.size(), 1u);
  EXPECT_EQ(t.branches[0].from, 100);
  EXPECT_EQ(t.branches[0].end, 240);
  const int left = t.branches[0].id;
  history.play(state, seekInput(seekBranch, 200, left));
  EXPECT_EQ(history.now(), 200);
  EXPECT_EQ(digest(), first.at(200));
  history.play(state, seekInput(seekOnBar, 240));
  EXPECT_EQ(digest(), first.at(240));
  // The course left is a branch now: back onto it, at its end.
  t = history.summary();
  ASSERT_EQ(t.branches.size(), 1u);
  EXPECT_EQ(t.branches[0].end, 182);
  history.play(state, seekInput(seekBranch, 182, t.branches[0].id));
  EXPECT_EQ(digest(), course);
}

// Ctrl+Z goes to just before each action in turn, Ctrl+Y forward again.
TEST_F(Going, UndoAndRedoStopAtActions) {
  History history;
  ConsoleCapture quiet;
  for (long n = 1; n <= 110; ++n) play(history, scripted(n));  // B at 5, C at 20, 60, 100, D at 70
  const std::map<long, std::uint64_t> first = digestAt;
  auto go = [&](int by, long target) {
    ASSERT_GE(target, 0);
    history.play(state, seekInput(by, target));
  };
  EXPECT_EQ(history.undoTarget(), 99);
  go(seekUndo, history.undoTarget());
  EXPECT_EQ(digest(), first.at(99));
  EXPECT_EQ(history.undoTarget(), 69);
  go(seekUndo, history.undoTarget());
  EXPECT_EQ(history.undoTarget(), 59);
  go(seekUndo, history.undoTarget());
  EXPECT_EQ(history.now(), 59);
  EXPECT_EQ(history.redoTarget(), 69);
  go(seekRedo, history.redoTarget());
  EXPECT_EQ(digest(), first.at(69));
  EXPECT_EQ(history.redoTarget(), 99);
  go(seekRedo, history.redoTarget());
  EXPECT_EQ(history.redoTarget(), 110) << "after the last action, the future's end";
  go(seekRedo, history.redoTarget());
  EXPECT_EQ(digest(), first.at(110));
  EXPECT_EQ(history.redoTarget(), -1);
  // A change of course ends what redo had to go to.
  go(seekUndo, history.undoTarget());
  history.play(state, FrameInput{{{InputEvent::KeyPress, key::B}}, {}});
  EXPECT_EQ(history.redoTarget(), -1);
  EXPECT_EQ(history.undoTarget(), 99);
}

// Full, the history lets the branch left longest ago go first, and keeps the last few.
TEST_F(Going, TheBudgetDropsTheOldestBranchFirst) {
  ConsoleCapture quiet;
  std::size_t snapshot = 0;
  {
    History one;
    one.play(state, FrameInput{});
    snapshot = one.bytes();
  }
  History history(40 * snapshot);
  history.setLadderRoom(0);  // all of it for the line and its branches
  for (long n = 1; n <= 600; ++n) play(history, scripted(n));
  // Twelve branches of 120 frames each, from moments further and further on.
  for (int b = 0; b < 12; ++b) {
    const long from = history.now() - 120;
    history.play(state, seekInput(seekOnBar, from));
    history.play(state, FrameInput{{{InputEvent::KeyPress, key::P}}, {}});
    for (long n = 1; n <= 120; ++n) play(history, scripted(n + b));
  }
  TimelineSummary t = history.summary();
  EXPECT_LE(history.bytes(), 40 * snapshot);
  ASSERT_GE(t.branches.size(), 1u);
  EXPECT_LE(t.branches.size(), 8u);
  // What stays is the newest, in the order they were left.
  const int newest = t.branches.back().id;
  for (std::size_t i = 0; i < t.branches.size(); ++i)
    EXPECT_EQ(t.branches[i].id, newest - static_cast<int>(t.branches.size() - 1 - i));
}

// A session that seeks, changes course, undoes, redoes, switches to the branch
// it left and plays on along its future, and back to the course it left: its
// recording replays to the same world and the same console lines, headless or
// in the window, sent back across the new course and played on.
TEST(GoingBack, SeeksUndoRedoAndBranchesReplayToTheLiveWorld) {
  ConsoleCapture console;
  std::string live, lines, text;
  {  // one state at a time: the history keeps Box2D's memory whole
    long frame = 0;
    Recorder recorder([&] { return std::time_t{1700000000} + frame / 60; });
    State state;
    startUpWithoutWindow(state);
    History history;
    auto step = [&](const FrameInput& input) {
      ++frame;
      recorder.beginFrame();
      history.play(state, input);
      recorder.endFrame(input, *state.world);
    };
    auto seek = [&](int by, long to, int branch = 0) { step(seekInput(by, to, branch)); };
    for (long n = 1; n <= 300; ++n) step(twoMoments(n));
    seek(seekOnBar, 120);
    step(FrameInput{{{InputEvent::KeyPress, key::C, 900, 200}}, {}});
    for (long n = 1; n <= 90; ++n) step(twoMoments(n + 7));
    seek(seekUndo, history.undoTarget());
    seek(seekUndo, history.undoTarget());
    seek(seekRedo, history.redoTarget());
    ASSERT_EQ(history.summary().branches.size(), 1u);
    seek(seekBranch, 250, history.summary().branches[0].id);
    ASSERT_EQ(history.now(), 250);
    step(FrameInput{{{InputEvent::KeyPress, key::P}}, {}});
    for (int n = 0; n < 40; ++n) step(FrameInput{});
    ASSERT_EQ(history.now(), 291);
    seek(seekBranch, 200, history.summary().branches[0].id);
    step(FrameInput{{{InputEvent::KeyPress, key::P}}, {}});
    for (int n = 0; n < 10; ++n) step(FrameInput{});
    live = worldNow(state), lines = console.text();
    text = recorder.textSoFar();
  }
  EXPECT_NE(text.find(" branch "), std::string::npos);

  std::string error;
  const std::optional<Recording> recording = parseRecording(text, "seeks.rec", error);
  ASSERT_TRUE(recording) << error;
  console.clear();
  EXPECT_EQ(played(*recording, -1), live);
  EXPECT_EQ(console.text(), lines);

  // Headless, the session keeps snapshots for a recording that seeks, though it
  // never holds Backspace: its checkpoints all hold.
  const std::string path = ::testing::TempDir() + "seeks_test.rec";
  std::ofstream(path) << text;
  SessionOptions options;
  options.replay = path;
  options.headless = true;
  const std::unique_ptr<Session> session = Session::open(options);
  ASSERT_TRUE(session);
  EXPECT_EQ(session->playHeadless(), 0);

  options.headless = false;
  options.quitAtEnd = true;
  FrameInput on, back;
  back.held[key::BACKSPACE] = 1;
  // A windowed replay played 350 pictures on, then sent back 40.
  auto sentBack = [&](Session& windowed, State& state) {
    startUpWithoutWindow(state);
    for (int n = 0; n < 350; ++n) ASSERT_TRUE(windowed.play(state, on, nullptr));
    for (int n = 0; n < 40; ++n) ASSERT_TRUE(windowed.play(state, back, nullptr));
  };
  {
    const std::unique_ptr<Session> windowed = Session::open(options);
    ASSERT_TRUE(windowed);
    State state;
    sentBack(*windowed, state);
    while (windowed->play(state, on, nullptr)) {
    }
    EXPECT_EQ(worldNow(state), live);
    EXPECT_EQ(windowed->finish(state), 0);
  }
  // Taken over there, before the seek's stop, and played on: its own recording
  // replays to the world it played on to.
  std::string takenOver;
  {
    const std::unique_ptr<Session> windowed = Session::open(options);
    ASSERT_TRUE(windowed);
    State state;
    sentBack(*windowed, state);
    windowed->takeOver();
    for (long n = 1; n <= 60; ++n) {
      FrameInput in = twoMoments(n);
      ASSERT_TRUE(windowed->play(state, in, nullptr));
    }
    takenOver = worldNow(state);
    text = windowed->textSoFar();
  }
  std::remove(path.c_str());
  const std::optional<Recording> saved = parseRecording(text, "taken-over.rec", error);
  ASSERT_TRUE(saved) << error;
  EXPECT_EQ(played(*saved, -1), takenOver);
}

// A recording written before the seeks went on from where Backspace left it,
// without what came after: it still does, where a new one follows the future.
TEST(GoingBack, OlderRecordingsDropTheFutureAtTheFirstFrameAfterGoingBack) {
  ConsoleCapture quiet;
  auto parsed = [](int version, const std::string& frames) {
    std::string error;
    const std::string text = "skyhook-recording " + std::to_string(version) +
                             " skyhook 0.1.0\n0 clock 0 1700000000\n5 press b 640 470\n" + frames;
    std::optional<Recording> r = parseRecording(text, "old.rec", error);
    EXPECT_TRUE(r) << error;
    return *r;
  };
  // 99 frames with Space from 20, 30 back, 71 without keys: 140 frames of the game.
  const std::string back =
      "20 down space\n100 up space down backspace\n130 up backspace\nend 200\n";
  const std::string before = played(parsed(2, back), -1);
  EXPECT_EQ(before, played(parsed(2, "20 down space\n70 up space\nend 140\n"), -1));
  EXPECT_EQ(played(parsed(1, back), -1), before);
  EXPECT_NE(played(parsed(3, back), -1), before) << "a new recording follows the future kept";
}

namespace {

// A ride with a car every five seconds, P stopping time from 1500 to 1560,
// and Backspace held from 600 to 640 (Shift from 620) and from 3000 to 3030.
FrameInput twoWaysBack(long n) {
  FrameInput in;
  if (n % 300 == 150) in.events.push_back({InputEvent::KeyPress, key::C, 300, 300});
  if (n == 1500 || n == 1560) in.events.push_back({InputEvent::KeyPress, key::P});
  in.held[key::SPACE] = n % 4 != 0;
  if ((n > 600 && n <= 640) || (n > 3000 && n <= 3030)) {
    in.events.clear();
    in.held[key::BACKSPACE] = 1;
    in.held[key::LSHIFT] = n > 620 && n < 700;
  }
  return in;
}

}  // namespace

// A headless replay knows every way its recording goes back: the snapshots
// beyond its reach give their bytes back, while the history thins, reaches
// back and plays back exactly as it does holding them; no picture goes below
// the floor worked out in advance.
TEST(GoingBack, AReplayLetsGoOfTheSnapshotsItsRecordingCannotReach) {
  ConsoleCapture quiet;
  std::string error;
  const std::optional<Recording> recording =
      parseRecording(recordedThroughHistory(twoWaysBack, 3600), "ways_back.rec", error);
  ASSERT_TRUE(recording) << error;
  struct Run {
    std::vector<std::string> frames;  // each one's world and moment, then the history's shape
    std::vector<long> moments, floors;
    std::size_t heldBefore = 0, held = 0;  // before the second way back, at the end
  };
  auto replay = [&](bool forget) {
    Run run;
    Replay replay(*recording);
    State state;
    startUpWithoutWindow(state);
    History history(std::size_t{3} << 20);  // room for about 30 snapshots: the older thin out
    FrameInput input;
    while (replay.next(input)) {
      history.play(state, input);
      run.floors.push_back(replay.lowestReachable(history.now()));
      if (forget) history.forgetBelow(run.floors.back());
      run.frames.push_back(worldNow(state) + " at " + std::to_string(history.now()));
      run.moments.push_back(history.now());
      if (replay.frames() == 2900) run.heldBefore = history.heldBytes();
    }
    EXPECT_GT(history.longestGap(), History::kInterval);
    run.frames.push_back(std::to_string(history.snapshots()) + " back to " +
                         std::to_string(history.oldest()) + " widest " +
                         std::to_string(history.longestGap()));
    run.held = history.heldBytes();
    return run;
  };
  const Run kept = replay(false), forgot = replay(true);
  ASSERT_EQ(forgot.frames.size(), 3601u);
  EXPECT_EQ(forgot.frames, kept.frames);
  // Before the second way back, only the newest, within its reach; after it, none.
  EXPECT_LT(forgot.heldBefore, kept.heldBefore);
  EXPECT_EQ(forgot.held, 0u);
  EXPECT_GT(kept.held, 0u);
  long lowest = Replay::kNowhere;  // where Backspace took it from a frame on
  for (std::size_t f = kept.moments.size(); f-- > 0;) {
    EXPECT_LE(kept.floors[f], lowest) << "after frame " << f + 1;
    if (twoWaysBack(static_cast<long>(f) + 1).held[key::BACKSPACE])
      lowest = std::min(lowest, kept.moments[f]);
  }
  EXPECT_EQ(kept.floors.back(), Replay::kNowhere);
}
