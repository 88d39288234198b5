#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e/sandbox.h"
#include "terrain/noise.h"
#include "terrain/terrain.h"

namespace {

// The exact seed behind a printed one: the first rand() of a start-up second, over a million.
bool exactSeed(const std::string& printed, std::time_t from, std::time_t to, float& seed) {
  for (std::time_t t = from; t <= to; ++t) {
    std::srand(static_cast<unsigned>(t));
    const float candidate = static_cast<float>(std::rand()) / 1000000.0f;
    std::ostringstream text;
    text << candidate;
    if (text.str() == printed) {
      seed = candidate;
      return true;
    }
  }
  return false;
}

struct Column {
  int x, y;  // centre in window pixels after the last scroll step
};

// Where the columns of the first `frames` scroll steps stand, for a seed: column k is
// made 200 px right of the cursor, then moves one pixel left per later step.
std::vector<Column> predictedColumns(float seed, int frames) {
  std::vector<Column> columns;
  float cursor = 1280;
  for (int k = 1; k <= frames; ++k) {
    const int X = static_cast<int>(200 + cursor);
    const float height = terrainHeight(Get2DPerlinNoiseValue(cursor, seed, 0.91f));
    const int Y = static_cast<int>(height - 200);
    const int x = X + 10 - (frames - k);  // the ground box sits 10 px right and below
    if (x >= 0 && x < 1280) columns.push_back({x, Y + 10});
    cursor = cursor + 10 * 0.1f * 0.001f;
  }
  return columns;
}

bool blackNear(const Screenshot& shot, int x, int y) {
  for (int dy = -4; dy <= 4; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      const int px = x + dx, py = y + dy;
      if (px < 0 || px >= shot.width() || py < 0 || py >= shot.height()) continue;
      const Pixel& p = shot.at(px, py);
      if (p.r == 0 && p.g == 0 && p.b == 0) return true;
    }
  return false;
}

struct Fit {
  int frames = 0;
  int checked = 0;
  int matched = 0;
  double share() const { return checked ? static_cast<double>(matched) / checked : 0; }
};

// How well the picture shows the skyline of `frames` scroll steps of a seed.
Fit fitAt(const Screenshot& shot, float seed, int frames) {
  Fit fit;
  fit.frames = frames;
  for (const Column& c : predictedColumns(seed, frames)) {
    // Away from the window's edges, the ship's corner and the floor.
    if (c.y < 20 || c.y > 880 || (c.x < 240 && c.y > 800)) continue;
    ++fit.checked;
    if (blackNear(shot, c.x, c.y)) ++fit.matched;
  }
  return fit;
}

// The number of scroll steps whose skyline the picture shows best.
Fit bestFit(const Screenshot& shot, float seed, int maxFrames) {
  Fit best;
  for (int frames = 200; frames <= maxFrames; ++frames) {
    const Fit fit = fitAt(shot, seed, frames);
    if (fit.checked >= 100 && fit.share() > best.share()) best = fit;
  }
  return best;
}

TEST(Scrolling, HeldSpaceBringsInTheMountainsOfThePrintedSeed) {
  const std::time_t before = std::time(nullptr);
  Sandbox sandbox;
  const auto seedLine = sandbox.waitForLineStartingWith("SEED = ");
  ASSERT_TRUE(seedLine) << sandbox.errors();
  const std::time_t after = std::time(nullptr);
  float seed = 0;
  ASSERT_TRUE(exactSeed(seedLine->substr(7), before - 1, after, seed)) << *seedLine;
  ASSERT_TRUE(sandbox.waitForWindow());

  // Until columns made 200 px beyond the edge have come well into view: the
  // first 200 frames show none, and a fit to a few spurious black pixels (the
  // floor, the ship) must not end the wait.
  int scrolled = 0;
  Fit fit;
  for (int attempt = 0; attempt < 6 && (fit.checked < 150 || fit.share() <= 0.9); ++attempt) {
    sandbox.holdKey("space", std::chrono::milliseconds(2500));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    scrolled += 1;
    fit = bestFit(sandbox.screenshot(), seed, 20000);
  }
  ASSERT_GE(fit.checked, 150) << "the mountains never came into view";
  EXPECT_GT(fit.share(), 0.9) << "best fit " << fit.frames << " frames: " << fit.matched << " of "
                              << fit.checked << " columns where the noise puts them";

  // The same picture, after the same scroll, does not show the mountains of
  // another seed (a row of the noise several lattice cells away). Searched over
  // every scroll count, a few hundred columns of gentle slope can fit another
  // seed's by chance.
  const Fit other = fitAt(sandbox.screenshot(), seed + 5.0f, fit.frames);
  EXPECT_LT(other.share(), fit.share() - 0.2) << other.matched << " of " << other.checked;

  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0);
}

// The crane car that the ship carries outlasts the left edge: after 18 s of
// Space and 7 s of Left with the car hanging, J still finds the whole cable,
// drops the car and picks it up again.
TEST(Scrolling, TheCarriedCraneCarOutlastsSpaceAndLeftAtTheLeftEdge) {
  Sandbox sandbox;
  ASSERT_TRUE(sandbox.waitForLineStartingWith("SEED = ")) << sandbox.errors();
  ASSERT_TRUE(sandbox.waitForWindow());
  auto printed = [&](const std::string& text) {
    const std::vector<std::string> lines = sandbox.lines();
    return std::count(lines.begin(), lines.end(), text);
  };
  auto says = [&](const std::string& text, long times) {
    return within(std::chrono::seconds(10), [&] { return printed(text) >= times; });
  };

  sandbox.key("b");
  sandbox.holdKey("space", std::chrono::seconds(18));
  sandbox.key("j");
  ASSERT_TRUE(says("TOTO ", 1)) << "J found no whole cable after Space";
  sandbox.key("j");
  ASSERT_TRUE(says("TOTO1", 1)) << "J found no car to pick up";
  sandbox.holdKey("Left", std::chrono::seconds(7));
  sandbox.key("j");
  EXPECT_TRUE(says("TOTO ", 2)) << "J found no whole cable after Left";
  EXPECT_EQ(printed("TOTO2"), 0);

  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0);
}

}  // namespace
