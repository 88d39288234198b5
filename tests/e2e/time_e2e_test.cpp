// Time in the user's hands on the real program: the speed keys and their mark,
// a kept moment returned to, Backspace held, a new world; the session's
// recording replays headless to the same lines and world. And Backspace held
// after two minutes keeps the picture moving.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "e2e/sandbox.h"

namespace {

using namespace std::chrono_literals;

// The speed mark's white text in the top-right corner, where PAUSE goes when
// time is stopped; nothing else there is white.
bool speedMarkShows(Sandbox& s) {
  const Screenshot shot = s.screenshot();
  int white = 0;
  for (int y = 6; y < 26; ++y)
    for (int x = shot.width() - 40; x < shot.width() - 6; ++x) {
      const Pixel& p = shot.at(x, y);
      white += p.r > 240 && p.g > 240 && p.b > 240;
    }
  return white > 5;
}

}  // namespace

TEST(TimeE2E, SpeedsMomentsGoingBackAndANewWorldReplayAlike) {
  const std::string file =
      ::testing::TempDir() + "skyhook_time_" + std::to_string(getpid()) + ".rec";
  std::vector<std::string> recorded;
  std::string digest;
  {
    Sandbox s({}, {}, {"--record", file, "--digest"});
    ASSERT_TRUE(s.waitForLineStartingWith("SEED = ")) << s.errors();
    ASSERT_TRUE(s.waitForWindow());
    s.key("b");
    s.key("bracketright");
    EXPECT_TRUE(within(10s, [&] { return speedMarkShows(s); })) << "no x2 beside PAUSE";
    s.holdKey("space", 1s);
    for (int i = 0; i < 3; ++i) s.key("bracketleft"), std::this_thread::sleep_for(100ms);
    s.holdKey("space", 1s);  // at 1/4
    for (int i = 0; i < 2; ++i) s.key("bracketright"), std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(within(10s, [&] { return !speedMarkShows(s); })) << "the mark stays at full speed";
    s.key("F5");
    s.holdKey("space", 1s);
    s.key("F9");
    std::this_thread::sleep_for(300ms);
    s.holdKey("space", 1s);
    s.holdKey("BackSpace", 1s);
    s.holdKey("Right", 500ms);
    s.key("n");
    s.holdKey("space", 500ms);
    s.key("Escape");
    ASSERT_EQ(s.waitForExit(), 0) << s.errors();
    recorded = s.lines();
    digest = digestOf(s.errors());
  }
  ASSERT_EQ(digest.size(), 23u);
  const auto seed = [](const std::string& line) { return line.rfind("SEED = ", 0) == 0; };
  EXPECT_EQ(std::count_if(recorded.begin(), recorded.end(), seed), 2) << "N prints them again";
  Sandbox headless({{"DISPLAY", ""}}, {}, {"--replay", file, "--headless", "--digest"});
  EXPECT_EQ(headless.waitForExit(60s), 0) << headless.errors();
  EXPECT_EQ(headless.lines(), recorded);
  EXPECT_EQ(digestOf(headless.errors()), digest);
  std::remove(file.c_str());
}
