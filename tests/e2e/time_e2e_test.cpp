// Time in the user's hands on the real program: the speed keys and their mark,
// a kept moment returned to, Backspace held, a new world; the session's
// recording replays headless to the same lines and world. And Backspace held
// after two minutes keeps the picture moving.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
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
  const std::string file = ::testing::TempDir() + "skyhook_time_" + std::to_string(getpid()) + ".rec";
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

TEST(TimeE2E, BackspaceAfterTwoMinutesKeepsThePictureMoving) {
  const std::string log = ::testing::TempDir() + "skyhook_back_" + std::to_string(getpid());
  Sandbox s({{"LD_PRELOAD", SWAP_COUNTER}, {"SKYHOOK_SWAP_LOG", log}});
  ASSERT_TRUE(s.waitForLineStartingWith("SEED = ")) << s.errors();
  ASSERT_TRUE(s.waitForWindow());
  s.key("b");
  const auto start = std::chrono::steady_clock::now();
  for (int x = 200; std::chrono::steady_clock::now() - start < 125s; x = x % 1100 + 150) {
    s.keyAt("c", x, 300);
    s.holdKey("space", 2s);
  }
  s.holdKey("BackSpace", 3s);
  std::this_thread::sleep_for(300ms);
  s.key("Escape");
  EXPECT_EQ(s.waitForExit(), 0) << s.errors();

  std::vector<double> times;  // of each picture's swap, in seconds
  std::ifstream in(log);
  for (long long ns; in >> ns;) times.push_back(ns * 1e-9);
  std::remove(log.c_str());
  ASSERT_GT(times.size(), 100u);
  // The two seconds in the middle of the hold.
  const double to = times.back() - 0.8, from = to - 2;
  double widest = 0;
  int pictures = 0;
  for (size_t i = 1; i < times.size(); ++i)
    if (times[i] >= from && times[i] < to)
      ++pictures, widest = std::max(widest, times[i] - times[i - 1]);
  EXPECT_GE(pictures, 90) << "pictures in the two seconds";
  EXPECT_LE(widest, 0.1) << "seconds between two pictures";
}
