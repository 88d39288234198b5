#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e/sandbox.h"

namespace {

const std::string kRed = "ATMOSPHERE A COULEUR DOMINANTE ROUGE";
const std::string kGreen = "ATMOSPHERE A COULEUR DOMINANTE VERTE";
const std::string kBlue = "ATMOSPHERE A COULEUR DOMINANTE BLEUE";

// What a start-up second determines: the seed is the first value of the sequence
// seeded with it, divided by a million; the sky takes the low 15 bits of the next three.
struct SecondDraws {
  std::string seedText;
  float r, g, b;
  std::string colourLine;  // empty on a tie
};

SecondDraws drawsOfSecond(std::time_t t) {
  std::srand(static_cast<unsigned>(t));
  SecondDraws d;
  std::ostringstream seed;
  seed << static_cast<float>(std::rand()) / 1000000.0f;
  d.seedText = seed.str();
  d.r = static_cast<float>(std::rand() & 0x7FFF) / 32767.0f;
  d.g = static_cast<float>(std::rand() & 0x7FFF) / 32767.0f;
  d.b = static_cast<float>(std::rand() & 0x7FFF) / 32767.0f;
  if (d.r > d.g && d.r > d.b) d.colourLine = kRed;
  else if (d.g > d.r && d.g > d.b) d.colourLine = kGreen;
  else if (d.b > d.r && d.b > d.g) d.colourLine = kBlue;
  return d;
}

// The start-up second among those around the launch whose seed matches the printed one.
std::optional<SecondDraws> startupDraws(const std::string& seedText, std::time_t from,
                                        std::time_t to) {
  for (std::time_t t = from - 1; t <= to + 1; ++t) {
    const SecondDraws d = drawsOfSecond(t);
    if (d.seedText == seedText) return d;
  }
  return std::nullopt;
}

int toByte(float c) { return static_cast<int>(c * 255.0f + 0.5f); }

bool near(const Pixel& p, int r, int g, int b, int tolerance = 1) {
  return std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance &&
         std::abs(p.b - b) <= tolerance;
}
bool isBlack(const Pixel& p) { return p.r == 0 && p.g == 0 && p.b == 0; }
bool same(const Pixel& a, const Pixel& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

std::string describe(const Pixel& p) {
  return "(" + std::to_string(p.r) + ", " + std::to_string(p.g) + ", " + std::to_string(p.b) + ")";
}

// The start-up lines, up to and including the seed line.
std::vector<std::string> startupLines(Sandbox& sandbox) {
  std::vector<std::string> lines = sandbox.lines();
  const auto seed = std::find_if(lines.begin(), lines.end(),
                                 [](const std::string& l) { return l.rfind("SEED = ", 0) == 0; });
  if (seed != lines.end()) lines.erase(seed + 1, lines.end());
  return lines;
}

// A screenshot taken once the window shows a drawn frame: the sky where nothing
// is drawn, at (x, y) of the window.
Screenshot shotOfFirstScene(Sandbox& sandbox, int r, int g, int b, int x = 1200, int y = 50) {
  Screenshot shot;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  do {
    shot = sandbox.screenshot();
    if (x < shot.width() && y < shot.height() && near(shot.at(x, y), r, g, b)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (std::chrono::steady_clock::now() < end);
  return shot;
}

// Where the 1280 x 940 picture lies in a window or on a screen, in its pixels.
struct Area {
  int x, y, width, height;
  int windowX(int pictureX) const { return x + pictureX * width / 1280; }
  int windowY(int pictureY) const { return y + pictureY * height / 940; }
};

// The first scene, scaled into the area of the shot: sky, the floor's black
// row across the picture and the black ship, 150 x 30 px centred at (150, 840).
void expectFirstScene(const Screenshot& shot, const Area& a, const Pixel& sky) {
  EXPECT_TRUE(same(shot.at(a.windowX(1200), a.windowY(50)), sky))
      << describe(shot.at(a.windowX(1200), a.windowY(50))) << " against " << describe(sky);
  EXPECT_TRUE(same(shot.at(a.windowX(150), a.windowY(800)), sky))
      << "above the ship: " << describe(shot.at(a.windowX(150), a.windowY(800)));
  int columnsWithoutFloor = 0;
  for (int x = a.windowX(20); x < a.windowX(1270); ++x) {
    bool black = false;
    for (int y = a.windowY(910) - 3; y <= a.windowY(910) + 3 && !black; ++y)
      black = isBlack(shot.at(x, y));
    if (!black) ++columnsWithoutFloor;
  }
  EXPECT_EQ(columnsWithoutFloor, 0);
  int notBlack = 0;
  for (int y = a.windowY(830); y <= a.windowY(850); ++y)
    for (int x = a.windowX(82); x <= a.windowX(218); ++x)
      if (!isBlack(shot.at(x, y))) ++notBlack;
  EXPECT_EQ(notBlack, 0) << "the ship";
}

struct Started {
  std::vector<std::string> lines;
  SecondDraws draws;
};

// Starts the sandbox, waits for its seed line and works out its start-up second.
::testing::AssertionResult start(Sandbox& sandbox, std::time_t before, Started& out) {
  const auto seedLine = sandbox.waitForLineStartingWith("SEED = ");
  if (!seedLine)
    return ::testing::AssertionFailure() << "no seed line; stderr: " << sandbox.errors();
  const std::time_t after = std::time(nullptr);
  out.lines = startupLines(sandbox);
  const auto draws = startupDraws(seedLine->substr(7), before, after);
  if (!draws) return ::testing::AssertionFailure() << "no start-up second gives " << *seedLine;
  out.draws = *draws;
  return ::testing::AssertionSuccess();
}

}  // namespace

// Also: no sound card here, and no audio driver named, yet nothing on standard error.
TEST(Startup, LinesInOrderWithTheSeedLastQuietlyInAWindowTitledSkyhook) {
  const std::time_t before = std::time(nullptr);
  Sandbox sandbox(std::map<std::string, std::string>{{"SDL_AUDIODRIVER", ""}});
  Started started;
  ASSERT_TRUE(start(sandbox, before, started));
  std::vector<std::string> lines = started.lines;

  // The dominant-colour line, when there is one, is the one the start-up second gives.
  if (!started.draws.colourLine.empty()) {
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), started.draws.colourLine);
    lines.erase(lines.begin());
  }
  ASSERT_EQ(lines.size(), 3u) << "expected the box's draw, 0.95 and the seed line";
  const int draw = std::stoi(lines[0]);
  EXPECT_EQ(lines[0], std::to_string(draw));
  EXPECT_GE(draw, 0);
  EXPECT_LE(draw, 100);
  EXPECT_EQ(lines[1], "0.95");
  EXPECT_EQ(lines[2], "SEED = " + started.draws.seedText);

  ASSERT_TRUE(sandbox.waitForWindow());
  EXPECT_EQ(sandbox.windowTitle(), "Skyhook - F1: keys");
  EXPECT_EQ(sandbox.iconSize(), std::make_pair(64, 64));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(sandbox.errors(), "") << "after start-up";
  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0);
  EXPECT_EQ(sandbox.errors(), "");
}

// Without a display: the answer, and nothing else, on the right stream.
TEST(CommandLine, HelpVersionAndRefusalsNeedNoDisplay) {
  const std::map<std::string, std::string> noDisplay{{"DISPLAY", ""}};
  {
    Sandbox help(noDisplay, {}, {"--help"});
    EXPECT_EQ(help.waitForExit(), 0);
    const std::vector<std::string> lines = help.lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Usage: skyhook [OPTION]...");
    for (const char* wanted : {"Options:", "Keys:"})
      EXPECT_NE(std::find(lines.begin(), lines.end(), wanted), lines.end()) << wanted;
    EXPECT_EQ(help.errors(), "");
  }
  for (const char* option : {"-V", "--version"}) {
    Sandbox version(noDisplay, {}, {option});
    EXPECT_EQ(version.waitForExit(), 0) << option;
    EXPECT_EQ(version.lines(), std::vector<std::string>{"skyhook " SKYHOOK_VERSION}) << option;
    EXPECT_EQ(version.errors(), "") << option;
  }
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--no-such-option"}, {"level.txt"}, {"--fullscreen", "-z"}, {"-display"}}) {
    const std::string named = args.back();
    SCOPED_TRACE(named);
    Sandbox refused(noDisplay, {}, args);
    EXPECT_EQ(refused.waitForExit(), 2);
    EXPECT_TRUE(refused.lines().empty());
    const std::string errors = refused.errors();
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find("'" + named + "'"), std::string::npos) << errors;
    EXPECT_NE(errors.find("--help"), std::string::npos) << errors;
  }
}

TEST(Startup, ClearColourAgreesWithTheDominantColourLine) {
  const std::time_t before = std::time(nullptr);
  Sandbox sandbox;
  Started started;
  ASSERT_TRUE(start(sandbox, before, started));
  const SecondDraws& sky = started.draws;
  ASSERT_TRUE(sandbox.waitForWindow());

  const Screenshot shot = shotOfFirstScene(sandbox, toByte(sky.r), toByte(sky.g), toByte(sky.b));
  const Pixel p = shot.at(1200, 50);
  EXPECT_TRUE(near(p, toByte(sky.r), toByte(sky.g), toByte(sky.b)))
      << "sky " << describe(p) << ", expected about " << toByte(sky.r) << ", " << toByte(sky.g)
      << ", " << toByte(sky.b);

  // Read from the picture alone: the announced component is the largest one on
  // screen, and with no line the two largest are equal.
  const bool colourLine = started.lines.size() == 4;
  const std::string line = colourLine ? started.lines.front() : "";
  if (line == kRed) {
    EXPECT_GE(p.r, std::max(p.g, p.b)) << describe(p);
  } else if (line == kGreen) {
    EXPECT_GE(p.g, std::max(p.r, p.b)) << describe(p);
  } else if (line == kBlue) {
    EXPECT_GE(p.b, std::max(p.r, p.g)) << describe(p);
  } else {
    std::vector<int> c = {p.r, p.g, p.b};
    std::sort(c.begin(), c.end());
    EXPECT_LE(c[2] - c[1], 1) << "no colour line, yet one component leads: " << describe(p);
  }
  EXPECT_EQ(line, sky.colourLine);

  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0);
}

TEST(Startup, EscapeEndsWithStatusZero) {
  Sandbox sandbox;
  ASSERT_TRUE(sandbox.waitForLineStartingWith("SEED = ")) << sandbox.errors();
  ASSERT_TRUE(sandbox.waitForWindow());
  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0);
}

TEST(Startup, ClosingTheWindowEndsWithStatusZero) {
  Sandbox sandbox;
  ASSERT_TRUE(sandbox.waitForLineStartingWith("SEED = ")) << sandbox.errors();
  ASSERT_TRUE(sandbox.waitForWindow());
  sandbox.closeWindow();
  EXPECT_EQ(sandbox.waitForExit(), 0);
}

TEST(Startup, WithoutADisplayOneErrorLineNamingItAndStatusOne) {
  // Unset, and set to a display that no server holds.
  for (const auto& [value, named] : {std::pair<std::string, std::string>{"", "DISPLAY is not set"},
                                     {":9876", "display \":9876\""}}) {
    SCOPED_TRACE("DISPLAY=" + value);
    Sandbox sandbox(std::map<std::string, std::string>{{"DISPLAY", value}});
    EXPECT_EQ(sandbox.waitForExit(), 1);
    const std::string errors = sandbox.errors();
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.back(), '\n');
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find("SDL"), std::string::npos) << errors;
    EXPECT_NE(errors.find(named), std::string::npos) << errors;
    for (const std::string& line : sandbox.lines())
      EXPECT_EQ(line.rfind("SEED", 0), std::string::npos) << line;
  }
}

// Without a standard descriptor, the X connection would take its number and the
// console lines (or, with LIBGL_DEBUG, Mesa's) would be written into it.
TEST(Startup, ClosedStandardOutputOrErrorStillPlaysAndEndsOnEscape) {
  for (int fd : {STDOUT_FILENO, STDERR_FILENO}) {
    SCOPED_TRACE("descriptor " + std::to_string(fd) + " closed");
    Sandbox sandbox({{"LIBGL_DEBUG", "verbose"}}, {fd});
    ASSERT_TRUE(sandbox.waitForWindow(std::chrono::seconds(10))) << sandbox.errors();
    sandbox.holdKey("space", std::chrono::milliseconds(300));
    sandbox.key("Escape");
    EXPECT_EQ(sandbox.waitForExit(std::chrono::seconds(10)), 0);
    if (fd == STDERR_FILENO) {
      const std::vector<std::string> lines = sandbox.lines();
      EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                              [](const std::string& l) { return l.rfind("SEED = ", 0) == 0; }));
    }
  }
}

// A fatal signal ends the process by that signal, even in the middle of scrolling;
// SIGTERM and SIGINT end it as the window's close does.
TEST(Ending, FatalSignalEndsTheProcessAndTerminationSignalsEndItWithStatusZero) {
  for (int trial = 0; trial < 5; ++trial) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    Sandbox sandbox;
    ASSERT_TRUE(sandbox.waitForLineStartingWith("SEED = ")) << sandbox.errors();
    ASSERT_TRUE(sandbox.waitForWindow());
    sandbox.keyDown("space");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sandbox.signal(SIGSEGV);
    const std::optional<int> status = sandbox.waitForExit(std::chrono::seconds(5));
    sandbox.keyUp("space");
    ASSERT_TRUE(status) << "still running 5 s after SIGSEGV";
    EXPECT_EQ(*status, 128 + SIGSEGV);
  }
  for (int number : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(number == SIGTERM ? "SIGTERM" : "SIGINT");
    Sandbox sandbox;
    ASSERT_TRUE(sandbox.waitForLineStartingWith("SEED = ")) << sandbox.errors();
    ASSERT_TRUE(sandbox.waitForWindow());
    sandbox.signal(number);
    EXPECT_EQ(sandbox.waitForExit(std::chrono::seconds(5)), 0);
  }
}

// The swap times that a preloaded counter wrote, in seconds.
std::vector<double> swapTimes(const std::string& path) {
  std::vector<double> times;
  std::ifstream in(path);
  for (long long ns; in >> ns;) times.push_back(ns * 1e-9);
  return times;
}

// A fresh path for the preloaded swap counter's log.
std::string swapLog() {
  const std::string log = ::testing::TempDir() + "skyhook_swaps_" + std::to_string(getpid());
  std::remove(log.c_str());
  return log;
}

TEST(Pacing, IdleWindowDrawsAtMost60FramesPerSecond) {
  const std::string log = swapLog();
  Sandbox sandbox({{"LD_PRELOAD", SWAP_COUNTER}, {"SKYHOOK_SWAP_LOG", log}});
  ASSERT_TRUE(sandbox.waitForLineStartingWith("SEED = ")) << sandbox.errors();
  ASSERT_TRUE(sandbox.waitForWindow());
  std::this_thread::sleep_for(std::chrono::seconds(4));
  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0);

  // Three seconds after the first half second of frames (the program ran at
  // least four: the window shows before the first swap or after it).
  const std::vector<double> times = swapTimes(log);
  std::remove(log.c_str());
  ASSERT_FALSE(times.empty()) << "the counter saw no swap";
  const double from = times.front() + 0.5, to = from + 3;
  ASSERT_GT(times.back(), to) << "the program ran " << times.back() - times.front() << " s";
  const auto frames =
      std::count_if(times.begin(), times.end(), [&](double t) { return t >= from && t < to; });
  EXPECT_GT(frames, 0);
  EXPECT_LE(frames / 3.0, 62.0) << frames << " frames in 3 s";
}

// Frames the program draws over the next second, by the swap counter's log (a
// frozen game draws none).
size_t framesInASecond(const std::string& log) {
  const size_t before = swapTimes(log).size();
  std::this_thread::sleep_for(std::chrono::seconds(1));
  return swapTimes(log).size() - before;
}

TEST(Console, StandardOutputThatNobodyReadsNeverStopsTheGame) {
  const std::string log = swapLog();
  // Its standard error holds the count of lines lost alone.
  Sandbox sandbox({{"LD_PRELOAD", SWAP_COUNTER}, {"SKYHOOK_SWAP_LOG", log}}, {}, {"--no-autosave"});
  ASSERT_TRUE(sandbox.waitForLineStartingWith("SEED = ")) << sandbox.errors();
  sandbox.stallOutput();
  // 20,000 presses of J, each printing "TOTO2": far more than the pipe holds,
  // even when SDL's queue drops most of them. K, which does nothing, between
  // them, or SDL would take them for autorepeat.
  for (int i = 0; i < 20; ++i) sandbox.keys(std::vector<std::string>(1000, "j k"));
  EXPECT_GE(framesInASecond(log), 5u);
  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(std::chrono::seconds(5)), 0) << sandbox.errors();
  // Lines left over once the pipe held its page: the game played on with it full.
  const std::string errors = sandbox.errors();
  long lost = 0;
  std::sscanf(errors.c_str() + std::min(errors.find("skyhook: "), errors.size()),
              "skyhook: %ld console lines not written", &lost);
  EXPECT_GT(lost, 1000) << errors;
}

TEST(Console, AReaderThatGoesAwayLikeHeadLeavesTheGamePlaying) {
  const std::string log = swapLog();
  Sandbox sandbox({{"LD_PRELOAD", SWAP_COUNTER}, {"SKYHOOK_SWAP_LOG", log}});
  ASSERT_TRUE(sandbox.waitForLineStartingWith("SEED = ")) << sandbox.errors();
  sandbox.closeOutput();  // as `| head -n 3` does after its lines
  for (const char* k : {"j", "k", "j"}) sandbox.key(k);
  EXPECT_GE(framesInASecond(log), 5u) << sandbox.errors();
  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0) << sandbox.errors();
  EXPECT_NE(sandbox.errors().find("not written: standard output was closed"), std::string::npos);
}

TEST(Startup, WindowThatCannotOpenIsReportedWithStatusOne) {
  // SDL's dummy video driver initialises but has no OpenGL.
  Sandbox sandbox(std::map<std::string, std::string>{{"SDL_VIDEODRIVER", "dummy"}});
  EXPECT_EQ(sandbox.waitForExit(), 1);
  const std::string errors = sandbox.errors();
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
  EXPECT_NE(errors.find("window"), std::string::npos) << errors;
  EXPECT_NE(errors.find("OpenGL not available"), std::string::npos) << errors;
  EXPECT_TRUE(sandbox.lines().empty());
}

// On the test run's 1600 x 1200 screen the window is 1280 x 940, unscaled.
TEST(FirstSceneOnScreen, BlackFloorRowAndBlackShipWhereTheyBelong) {
  const std::time_t before = std::time(nullptr);
  Sandbox sandbox;
  Started started;
  ASSERT_TRUE(start(sandbox, before, started));
  ASSERT_TRUE(sandbox.waitForWindow());
  const WindowGeometry window = sandbox.windowGeometry();
  EXPECT_EQ(window.width, 1280);
  EXPECT_EQ(window.height, 940);
  const SecondDraws& sky = started.draws;
  const Screenshot shot = shotOfFirstScene(sandbox, toByte(sky.r), toByte(sky.g), toByte(sky.b));
  const Pixel skyPixel = shot.at(1200, 50);
  ASSERT_TRUE(near(skyPixel, toByte(sky.r), toByte(sky.g), toByte(sky.b)))
      << "no frame drawn yet: " << describe(skyPixel);

  // The floor: 1 px high pieces at y = 910 from x = 5 on, covering the window's width.
  int columnsWithoutFloor = 0;
  for (int x = 6; x < 1280; ++x) {
    bool black = false;
    for (int y = 907; y <= 913 && !black; ++y) black = isBlack(shot.at(x, y));
    if (!black) ++columnsWithoutFloor;
  }
  EXPECT_EQ(columnsWithoutFloor, 0);
  // Below the floor only sky (the bottom-left corner holds a glyph).
  for (int x = 20; x < 1280; x += 10) EXPECT_TRUE(same(shot.at(x, 925), skyPixel)) << x;

  // The ship: a black 150 x 30 box centred at (150, 840), sky around it.
  int notBlack = 0;
  for (int y = 827; y <= 853; ++y)
    for (int x = 77; x <= 223; ++x)
      if (!isBlack(shot.at(x, y))) ++notBlack;
  EXPECT_EQ(notBlack, 0);
  for (auto [x, y] : {std::pair{150, 821}, {150, 859}, {71, 840}, {229, 840}, {72, 822}})
    EXPECT_TRUE(same(shot.at(x, y), skyPixel))
        << "(" << x << ", " << y << ") " << describe(shot.at(x, y));

  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0);
}

// A 1024 x 768 screen, opened through -display alone (which freeglut must see
// as well as SDL): the window fits and shows the picture scaled; F11 shows it
// on the whole screen, centred on black, with the sky it had, and F11 again
// brings the window back.
TEST(SmallScreen, WindowFitsAndF11ShowsThePictureOnTheWholeScreenAndBack) {
  XServer server(1024, 768);
  ASSERT_FALSE(server.display().empty()) << "no Xvfb of 1024 x 768";
  const std::time_t before = std::time(nullptr);
  Sandbox sandbox({{"DISPLAY", ""}}, {}, {"-display", server.display()});
  Started started;
  ASSERT_TRUE(start(sandbox, before, started));
  ASSERT_TRUE(sandbox.waitForWindow()) << sandbox.errors();
  const SecondDraws& sky = started.draws;
  const int r = toByte(sky.r), g = toByte(sky.g), b = toByte(sky.b);

  const WindowGeometry window = sandbox.windowGeometry();
  EXPECT_GE(window.x, 0);
  EXPECT_GE(window.y, 0);
  EXPECT_LE(window.x + window.width, 1024);
  EXPECT_LE(window.y + window.height, 768);
  EXPECT_NEAR(window.width * 940.0 / window.height, 1280, 2) << "the picture's proportions";
  const Area whole{0, 0, window.width, window.height};
  Screenshot shot = shotOfFirstScene(sandbox, r, g, b, whole.windowX(1200), whole.windowY(50));
  const Pixel skyPixel = shot.at(whole.windowX(1200), whole.windowY(50));
  ASSERT_TRUE(near(skyPixel, r, g, b)) << describe(skyPixel);
  expectFirstScene(shot, whole, skyPixel);

  auto waitForSize = [&](int width, int height) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    do {
      const WindowGeometry now = sandbox.windowGeometry();
      if (now.width == width && now.height == height) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < end);
    return false;
  };
  SCOPED_TRACE("full screen");
  sandbox.key("F11");
  ASSERT_TRUE(waitForSize(1024, 768));
  const Area full{0, 8, 1024, 752};  // 0.8 of the picture, 8 rows of black above and below
  shot = shotOfFirstScene(sandbox, r, g, b, full.windowX(1200), full.windowY(50));
  expectFirstScene(shot, full, skyPixel);
  int notBlack = 0;
  for (int x = 0; x < 1024; ++x)
    for (int y : {0, 7, 760, 767}) notBlack += !isBlack(shot.at(x, y));
  EXPECT_EQ(notBlack, 0) << "the border";

  SCOPED_TRACE("back in the window");
  sandbox.key("F11");
  ASSERT_TRUE(waitForSize(window.width, window.height));
  shot = shotOfFirstScene(sandbox, r, g, b, whole.windowX(1200), whole.windowY(50));
  expectFirstScene(shot, whole, skyPixel);

  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0);
  EXPECT_EQ(sandbox.errors(), "");
}
