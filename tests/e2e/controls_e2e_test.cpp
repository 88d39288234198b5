// The car keys against the real program: real key presses, its console and its window.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/units.h"
#include "e2e/sandbox.h"
#include "game/keys.h"
#include "render/key_panel.h"
#include "render/overlay_layout.h"
#include "render/text.h"

namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

// The lines printed after the seed line.
Lines linesAfterSeed(Sandbox& sandbox) {
  Lines all = sandbox.lines();
  auto seed = std::find_if(all.begin(), all.end(),
                           [](const std::string& l) { return l.rfind("SEED = ", 0) == 0; });
  return seed == all.end() ? Lines{} : Lines(seed + 1, all.end());
}

bool isNumber(const std::string& line) {
  return !line.empty() && std::all_of(line.begin(), line.end(), ::isdigit);
}

// Rim colours of the metal boxes; the fill is half of each.
struct Colour {
  float r, g, b;
};
constexpr Colour kMetalColours[] = {{0.5f, 0.4f, 0.0f}, {0.4f, 0.5f, 0.5f}, {0.8f, 0.8f, 0.0f},
                                    {0.3f, 0.3f, 0.3f}, {0.6f, 0.6f, 0.6f}, {0.1f, 0.6f, 0.8f},
                                    {0.2f, 0.3f, 0.0f}, {0.9f, 0.9f, 0.9f}, {0.8f, 0.8f, 0.8f},
                                    {0.9f, 0.9f, 0.8f}, {0.8f, 0.5f, 0.5f}, {0.5f, 0.6f, 0.7f},
                                    {0.8f, 0.6f, 0.7f}};

bool near(const Pixel& p, float r, float g, float b) {
  auto close = [](int v, float c) { return std::abs(v - static_cast<int>(c * 255 + 0.5f)) <= 3; };
  return close(p.r, r) && close(p.g, g) && close(p.b, b);
}

struct Found {
  int left, top, right, bottom, rim;
};

// A box in one metal colour inside the area: the extent of its fill, and its rim
// pixels. The defaults fit a car's 40-pixel chassis.
std::optional<Found> metalBoxIn(const Screenshot& shot, int x0, int y0, int x1, int y1,
                                int minFill = 600, int minRim = 60) {
  for (const Colour& c : kMetalColours) {
    Found f{x1, y1, x0, y0, 0};
    int fill = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        const Pixel& p = shot.at(x, y);
        if (near(p, c.r, c.g, c.b)) ++f.rim;
        if (!near(p, c.r / 2, c.g / 2, c.b / 2)) continue;
        ++fill;
        f.left = std::min(f.left, x), f.right = std::max(f.right, x);
        f.top = std::min(f.top, y), f.bottom = std::max(f.bottom, y);
      }
    if (fill > minFill && f.rim > minRim) return f;
  }
  return std::nullopt;
}

// Polls screenshots until the condition holds of one; false after the timeout.
template <typename Condition>
bool awaitPicture(Sandbox& sandbox, Condition holds, std::chrono::seconds timeout = 10s) {
  for (auto end = std::chrono::steady_clock::now() + timeout;
       std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(100ms))
    if (holds(sandbox.screenshot())) return true;
  return false;
}

// Pixels of the key panel's dark background in the top-left corner; bodies
// that wander through it (the walker hops about) have other colours.
int panelPixels(const Screenshot& shot) {
  int count = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) count += near(shot.at(x, y), 0.08f, 0.08f, 0.1f);
  return count;
}

// The rows that hold the cable's colour in the joint view, and how many pixels.
struct Extent {
  int count = 0, top = 940, bottom = -1;
};
Extent cyanIn(const Screenshot& shot) {
  Extent e;
  for (int y = 0; y < 940; ++y)
    for (int x = 0; x < 1280; ++x) {
      const Pixel& p = shot.at(x, y);
      if (p.r == 0 && p.g == 255 && p.b == 255) ++e.count, e.top = std::min(e.top, y), e.bottom = y;
    }
  return e;
}

}  // namespace

TEST(ControlsE2E, CraneCarIsHungDroppedRehungCutAndDestroyed) {
  Sandbox sandbox;
  ASSERT_TRUE(sandbox.waitForLineStartingWith("SEED = ")) << sandbox.errors();
  ASSERT_TRUE(sandbox.waitForWindow());

  sandbox.key("b");
  sandbox.key("j");
  ASSERT_TRUE(sandbox.waitForLine("TOTO ")) << sandbox.errors();
  EXPECT_EQ(linesAfterSeed(sandbox), Lines{"TOTO "}) << "B prints nothing of its own";
  sandbox.key("j");
  ASSERT_TRUE(sandbox.waitForLine("TOTO1"));
  sandbox.key("d");
  sandbox.key("d");
  sandbox.key("d");
  ASSERT_TRUE(sandbox.waitForLine("TOTO")) << sandbox.errors();

  Lines carLines;
  for (const std::string& line : linesAfterSeed(sandbox))
    if (line.rfind("TOTO", 0) == 0 || line.rfind("DESTROY", 0) == 0) carLines.push_back(line);
  EXPECT_EQ(carLines, (Lines{"TOTO ", "TOTO1", "DESTROY CAR = EN COURS", "TOTO"}));

  // Nothing is left to destroy; J says so.
  sandbox.key("d");
  sandbox.key("j");
  ASSERT_TRUE(sandbox.waitForLine("TOTO2"));
  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0) << sandbox.errors();
}

TEST(ControlsE2E, CDropsAPlainCarAtThePointerAndTheKeypadDrivesIt) {
  Sandbox sandbox;
  ASSERT_TRUE(sandbox.waitForLineStartingWith("SEED = ")) << sandbox.errors();
  ASSERT_TRUE(sandbox.waitForWindow());

  // Just above the floor, clear of the first scene's box, circle, ship and walker.
  const int x = 1000, y = 885;
  sandbox.moveMouse(x, y);
  ASSERT_EQ(std::system("xdotool key c >/dev/null 2>&1"), 0);
  // The chassis prints its metal draw.
  const auto until = std::chrono::steady_clock::now() + 20s;
  Lines after;
  while ((after = linesAfterSeed(sandbox), std::none_of(after.begin(), after.end(), isNumber)) &&
         std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(20ms);
  ASSERT_TRUE(std::any_of(after.begin(), after.end(), isNumber)) << sandbox.errors();

  // The 40 px box settles on the floor 2 m below the chassis centre: around (1000, 889).
  std::optional<Found> box;
  Screenshot shot;
  for (auto end = std::chrono::steady_clock::now() + 10s;
       !box && std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(100ms)) {
    shot = sandbox.screenshot();
    box = metalBoxIn(shot, x - 40, y - 40, x + 40, y + 45);
  }
  ASSERT_TRUE(box) << "no metal box near the pointer; see controls_e2e_car.ppm"
                   << (shot.savePpm("controls_e2e_car.ppm") ? "" : " (not saved)");
  EXPECT_NEAR((box->left + box->right) / 2.0, x, 4);
  EXPECT_NEAR((box->top + box->bottom) / 2.0, 889, 6);
  EXPECT_NEAR(box->right - box->left, 38, 5);
  EXPECT_NEAR(box->bottom - box->top, 38, 5);

  sandbox.holdKey("KP_6", 600ms);
  EXPECT_FALSE(sandbox.waitForExit(300ms)) << "the program keeps running: " << sandbox.errors();
  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0) << sandbox.errors();
}

// Five seconds of Right would carry the ship some 200 m past the right edge;
// it stops there, its centre just inside, the left half of its hull in view.
TEST(ControlsE2E, ShipHeldRightForFiveSecondsStaysInTheWindow) {
  Sandbox sandbox;
  ASSERT_TRUE(sandbox.waitForLineStartingWith("SEED = ")) << sandbox.errors();
  ASSERT_TRUE(sandbox.waitForWindow());
  sandbox.holdKey("Right", 5s);
  const Screenshot shot = sandbox.screenshot();
  int black = 0;
  for (int x = 1210; x < 1280; ++x) {
    const Pixel& p = shot.at(x, 840);
    black += p.r == 0 && p.g == 0 && p.b == 0;
  }
  EXPECT_EQ(black, 70) << "no ship at the right edge; see controls_e2e_right.ppm"
                       << (shot.savePpm("controls_e2e_right.ppm") ? "" : " (not saved)");
  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0) << sandbox.errors();
}

TEST(ControlsE2E, F1ShowsTheKeysF2TheCableAndTheLeftButtonLiftsTheBox) {
  Sandbox sandbox;
  ASSERT_TRUE(sandbox.waitForLineStartingWith("SEED = ")) << sandbox.errors();
  ASSERT_TRUE(sandbox.waitForWindow());

  EXPECT_EQ(panelPixels(sandbox.screenshot()), 0);
  sandbox.key("F1");
  EXPECT_TRUE(awaitPicture(sandbox, [](const Screenshot& s) { return panelPixels(s) > 50000; }))
      << "F1 shows no panel";
  sandbox.key("F1");
  EXPECT_TRUE(awaitPicture(sandbox, [](const Screenshot& s) { return panelPixels(s) == 0; }))
      << "F1 again leaves the panel";

  // The cable runs 15 m (150 px) from the ship down to the car.
  sandbox.key("b");
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(cyanIn(sandbox.screenshot()).count, 0);
  sandbox.key("F2");
  EXPECT_TRUE(awaitPicture(sandbox, [](const Screenshot& s) {
    const Extent e = cyanIn(s);
    return e.count > 300 && e.bottom - e.top >= 140;
  })) << "no cable drawn";
  sandbox.key("F2");
  EXPECT_TRUE(awaitPicture(sandbox, [](const Screenshot& s) { return cyanIn(s).count == 0; }));

  // The first scene's box comes to rest on the floor below x = 500 once it has
  // stopped bouncing: found at the same place twice running.
  std::optional<Found> box, last;
  ASSERT_TRUE(awaitPicture(
      sandbox,
      [&](const Screenshot& s) {
        last = std::exchange(box, metalBoxIn(s, 470, 850, 530, 915, 150, 30));
        return box && last && box->top == last->top && box->left == last->left;
      },
      30s))
      << "no box at rest on the floor at x = 500";
  const int x = (box->left + box->right) / 2, y = (box->top + box->bottom) / 2;
  sandbox.moveMouse(x, y);
  sandbox.mouseDown(1);
  sandbox.moveMouse(x, 500);
  EXPECT_TRUE(awaitPicture(sandbox,
                           [&](const Screenshot& s) {
                             return metalBoxIn(s, x - 40, 460, x + 40, 540, 150, 30).has_value();
                           }))
      << "the box at (" << x << ", " << y << ") did not follow the pointer up";
  sandbox.mouseUp(1);
  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0) << sandbox.errors();
}

namespace {

// The arguments after the program's name on the desktop entry's Exec line.
std::vector<std::string> desktopEntryArguments(bool& terminal) {
  std::ifstream entry(SKYHOOK_DESKTOP_ENTRY);
  std::vector<std::string> args;
  terminal = true;
  // The entry's own group, not its actions'.
  for (std::string line; std::getline(entry, line) && line.rfind("[Desktop Action", 0) != 0;) {
    if (line == "Terminal=false") terminal = false;
    if (line.rfind("Exec=", 0) != 0) continue;
    std::istringstream words(line.substr(5));
    std::string word;
    words >> word;
    EXPECT_EQ(word, "skyhook");
    while (words >> word) args.push_back(word);
  }
  return args;
}

bool samePicture(const Screenshot& a, const Screenshot& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const Pixel &p = a.at(x, y), &q = b.at(x, y);
      if (p.r != q.r || p.g != q.g || p.b != q.b) return false;
    }
  return true;
}

int pixelsIn(const Screenshot& shot, int x0, int y0, int x1, int y1, float r, float g, float b) {
  int count = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) count += near(shot.at(x, y), r, g, b);
  return count;
}

}  // namespace

// Started as the menu starts it, the window shows the console's last lines.
// With time stopped, F3, F4 and L each change the picture and give it back
// exactly; a body held by the mouse shows the yellow path it would fall along.
TEST(ViewE2E, DesktopEntryShowsTheConsoleAndF3F4LToggleThePictureBack) {
  bool terminal = true;
  const std::vector<std::string> args = desktopEntryArguments(terminal);
  EXPECT_FALSE(terminal) << "the desktop entry opens a terminal";
  Sandbox sandbox({}, {}, args);
  ASSERT_TRUE(sandbox.waitForLineStartingWith("SEED = ")) << sandbox.errors();
  ASSERT_TRUE(sandbox.waitForWindow());
  // "SEED = ..." in white on the band along the bottom.
  EXPECT_TRUE(awaitPicture(sandbox, [](const Screenshot& s) {
    return pixelsIn(s, 230, 860, 700, 940, 1, 1, 1) > 60;
  })) << "no console lines along the bottom";

  sandbox.key("p");
  Screenshot still;
  ASSERT_TRUE(awaitPicture(sandbox, [&](const Screenshot& s) {
    return samePicture(std::exchange(still, s), s);
  })) << "the picture does not keep still with time stopped";

  const struct {
    const char* key;
    bool (*shows)(const Screenshot&);
  } views[] = {
      {"F3",
       [](const Screenshot& s) {
         return pixelsIn(s, 1000, 30, 1280, 200, 0.08f, 0.08f, 0.1f) > 2000;
       }},
      {"F4",
       [](const Screenshot& s) { return pixelsIn(s, 0, 0, 1280, 940, 0.9f, 0.3f, 0.9f) > 200; }},
      {"l", [](const Screenshot& s) { return pixelsIn(s, 230, 860, 700, 940, 1, 1, 1) == 0; }},
  };
  for (const auto& view : views) {
    sandbox.key(view.key);
    EXPECT_TRUE(awaitPicture(sandbox, view.shows)) << view.key << " shows nothing";
    sandbox.key(view.key);
    EXPECT_TRUE(awaitPicture(sandbox, [&](const Screenshot& s) { return samePicture(s, still); }))
        << view.key << " again does not give the picture back";
  }

  // A plain car made in the air; held, it would fall straight down.
  sandbox.keyAt("c", 600, 300);
  sandbox.moveMouse(600, 300);
  sandbox.mouseDown(1);
  EXPECT_TRUE(awaitPicture(sandbox, [](const Screenshot& s) {
    return pixelsIn(s, 596, 310, 605, 860, 1, 1, 0) > 40;
  })) << "no yellow path below the held car";
  sandbox.mouseUp(1);
  EXPECT_TRUE(awaitPicture(sandbox, [](const Screenshot& s) {
    return pixelsIn(s, 596, 310, 605, 860, 1, 1, 0) == 0;
  })) << "the path outlives the hold";
  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0) << sandbox.errors();
}

// The camera only changes the view: the wheel changes the picture and Home
// gives the game's own back, pixel for pixel; after a right-button drag the
// left button grabs the box where it is now drawn; the window takes any size.
TEST(ControlsE2E, TheCameraZoomsPansAndComesHomeAndTheWindowResizes) {
  Sandbox sandbox;
  ASSERT_TRUE(sandbox.waitForLineStartingWith("SEED = ")) << sandbox.errors();
  ASSERT_TRUE(sandbox.waitForWindow());
  EXPECT_TRUE(sandbox.resizable()) << "the window's size hints pin its size";
  std::optional<Found> box, last;
  ASSERT_TRUE(awaitPicture(
      sandbox,
      [&](const Screenshot& s) {
        last = std::exchange(box, metalBoxIn(s, 470, 850, 530, 915, 150, 30));
        return box && last && box->top == last->top && box->left == last->left;
      },
      30s))
      << "no box at rest on the floor at x = 500";

  // Time stopped, the picture holds still once the frame's '0' has left it.
  sandbox.key("p");
  Screenshot still;
  ASSERT_TRUE(awaitPicture(
      sandbox, [&](const Screenshot& s) { return samePicture(std::exchange(still, s), s); }, 15s));
  box = metalBoxIn(still, 470, 820, 530, 915, 150, 30);  // where it stopped
  ASSERT_TRUE(box) << "the box left the floor";
  sandbox.moveMouse(300, 600);
  for (int notch = 0; notch < 3; ++notch) sandbox.click(5);
  EXPECT_TRUE(awaitPicture(sandbox, [&](const Screenshot& s) { return !samePicture(s, still); }))
      << "the wheel changed nothing";
  sandbox.key("Home");
  EXPECT_TRUE(awaitPicture(sandbox, [&](const Screenshot& s) { return samePicture(s, still); }))
      << "Home did not give the game's own picture back";

  // The picture follows the right button's drag; the box is then grabbed where
  // it shows. Time stays stopped until the grab, so the box cannot move meanwhile.
  const int dx = 200, dy = -300;
  sandbox.moveMouse(640, 470);
  sandbox.mouseDown(3);
  sandbox.moveMouse(640 + dx / 2, 470 + dy / 2);
  sandbox.moveMouse(640 + dx, 470 + dy);
  sandbox.mouseUp(3);
  ASSERT_TRUE(awaitPicture(sandbox, [&](const Screenshot& s) {
    const std::optional<Found> moved =
        metalBoxIn(s, box->left + dx - 5, box->top + dy - 5, box->right + dx + 5,
                   box->bottom + dy + 5, 150, 30);
    return moved && moved->left == box->left + dx && moved->top == box->top + dy;
  })) << "the box is not drawn where the drag took the picture";
  const int x = (box->left + box->right) / 2 + dx, y = (box->top + box->bottom) / 2 + dy;
  sandbox.moveMouse(x, y);
  sandbox.mouseDown(1);
  sandbox.keyAt("p", x + 150, y - 200);  // time goes on, the pointer kept where it pulls
  EXPECT_TRUE(
      awaitPicture(sandbox,
                   [&](const Screenshot& s) {
                     return metalBoxIn(s, x + 110, y - 240, x + 190, y - 160, 150, 30).has_value();
                   }))
      << "the box drawn at (" << x << ", " << y << ") did not follow the pointer";
  sandbox.mouseUp(1);

  // A larger window: the picture fills it, its proportions kept, sky up to the far corner.
  sandbox.key("Home");
  sandbox.resizeWindow(1600, 1175);
  EXPECT_TRUE(awaitPicture(sandbox, [](const Screenshot& s) {
    if (s.width() != 1600 || s.height() != 1175) return false;
    const Pixel &sky = s.at(20, 20), &corner = s.at(1590, 20);
    return corner.r == sky.r && corner.g == sky.g && corner.b == sky.b && sky.r + sky.g + sky.b > 0;
  })) << "the picture did not grow with the window";
  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0) << sandbox.errors();
}

namespace {

struct Rect {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
  bool empty() const { return right < left; }
  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};
std::ostream& operator<<(std::ostream& os, const Rect& r) {
  return os << "(" << r.left << ", " << r.top << ") to (" << r.right << ", " << r.bottom << ")";
}
// Whether the rectangles come within `gap` pixels of each other.
bool closerThan(const Rect& a, const Rect& b, int gap) {
  return a.left - gap <= b.right && b.left - gap <= a.right && a.top - gap <= b.bottom &&
         b.top - gap <= a.bottom;
}
bool samePixel(const Pixel& p, const Pixel& q) { return p.r == q.r && p.g == q.g && p.b == q.b; }

// Where one overlay of `all` is: waits until what it covered shows again in a
// picture without it, the same for two pictures running, and gives the box of
// those pixels. Text that changes in the other overlays does not count, being
// no part of the still picture.
std::optional<Rect> revealed(Sandbox& sandbox, const Screenshot& all, const Screenshot& still) {
  std::optional<Rect> last;
  for (int i = 0; i < 100; ++i) {
    const Screenshot s = sandbox.screenshot();
    Rect r;
    for (int y = 0; y < s.height(); ++y)
      for (int x = 0; x < s.width(); ++x)
        if (!samePixel(all.at(x, y), s.at(x, y)) && samePixel(s.at(x, y), still.at(x, y)))
          r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x),
               std::max(r.bottom, y)};
    if (!r.empty() && last && *last == r) return r;
    last = r;
    std::this_thread::sleep_for(100ms);
  }
  return std::nullopt;
}

// Whether glyph `c` of the font is drawn with its top-left corner at (x, y),
// each font pixel an n x n block: lit ones in the ink, the others not.
bool glyphAt(const Screenshot& shot, char c, int x, int y, int n, const Pixel& ink) {
  for (int row = 0; row < kGlyphHeight; ++row)
    for (int column = 0; column < kGlyphWidth; ++column) {
      const bool lit = GL_FONT_DATA[c - 31][kGlyphHeight - 1 - row] & (0x80u >> column);
      for (int dy = 0; dy < n; ++dy)
        for (int dx = 0; dx < n; ++dx) {
          const Pixel& p = shot.at(x + column * n + dx, y + row * n + dy);
          if (samePixel(p, ink) != lit) return false;
        }
    }
  return true;
}
// ... within `slack` pixels of there, the picture's scaling rounding either way.
bool glyphNear(const Screenshot& shot, char c, int x, int y, int slack, const Pixel& ink) {
  for (int dy = -slack; dy <= slack; ++dy)
    for (int dx = -slack; dx <= slack; ++dx)
      if (glyphAt(shot, c, x + dx, y + dy, 1, ink)) return true;
  return false;
}

const Pixel kKeyInk{255, 217, 102};  // F1's keys

}  // namespace

// On a 1024 x 768 screen (a 937 x 688 window), with time stopped: F1, F3 and L
// on together each keep a place of their own, apart from each other and from
// the ship where it starts; on F1's last page, Page Down shows the key
// table's last rows.
TEST(ViewE2E, OnASmallScreenTheOverlaysKeepApartAndPageDownShowsTheLastKeys) {
  XServer server(1024, 768);
  ASSERT_FALSE(server.display().empty()) << "no Xvfb of 1024 x 768";
  Sandbox sandbox({{"DISPLAY", ""}}, {}, {"-display", server.display()});
  ASSERT_TRUE(sandbox.waitForLineStartingWith("SEED = ")) << sandbox.errors();
  ASSERT_TRUE(sandbox.waitForWindow());
  sandbox.key("p");
  Screenshot still;
  ASSERT_TRUE(awaitPicture(
      sandbox, [&](const Screenshot& s) { return samePicture(std::exchange(still, s), s); }, 15s));
  ASSERT_EQ(still.width(), 937);
  const float scale = 937.0f / WIDTH;

  sandbox.key("F1");
  sandbox.key("F3");
  sandbox.key("l");
  std::optional<Rect> all, last;
  Screenshot shot;
  ASSERT_TRUE(awaitPicture(sandbox, [&](const Screenshot& s) {
    Rect r;  // everything the overlays changed
    for (int y = 0; y < s.height(); ++y)
      for (int x = 0; x < s.width(); ++x)
        if (!samePixel(s.at(x, y), still.at(x, y)))
          r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x),
               std::max(r.bottom, y)};
    last = std::exchange(all, r);
    shot = s;
    return last && *last == r && r.bottom > 600;
  })) << "F1, F3 and L do not show";

  // Each overlay switched off alone shows what lay under it.
  std::vector<std::pair<std::string, Rect>> boxes;
  for (const char* key : {"F1", "F3", "l"}) {
    sandbox.key(key);
    const std::optional<Rect> box = revealed(sandbox, shot, still);
    ASSERT_TRUE(box) << key << " shows nowhere";
    boxes.emplace_back(key, *box);
    sandbox.key(key);
    ASSERT_TRUE(awaitPicture(sandbox, [&](const Screenshot& s) {
      return samePixel(s.at(box->left + 2, box->top + 2), shot.at(box->left + 2, box->top + 2));
    }));
  }
  // The ship: 150 x 30 about (150, 840) of the picture.
  const Rect ship{static_cast<int>(75 * scale), static_cast<int>(825 * scale),
                  static_cast<int>(225 * scale) + 1, static_cast<int>(855 * scale) + 1};
  for (size_t i = 0; i < boxes.size(); ++i) {
    SCOPED_TRACE(boxes[i].first + " at " + ::testing::PrintToString(boxes[i].second));
    EXPECT_FALSE(closerThan(boxes[i].second, ship, 0)) << "covers the ship";
    for (size_t j = i + 1; j < boxes.size(); ++j)
      EXPECT_FALSE(closerThan(boxes[i].second, boxes[j].second, 2))
          << "touches " << boxes[j].first << " at " << boxes[j].second;
  }
  EXPECT_GT(boxes[1].second.left, 937 / 2) << "F3 in the right half";
  EXPECT_LT(boxes[1].second.bottom, 688 / 2) << "F3 in the top half";

  // F1 alone, turned to its last page: S and T, the table's last rows.
  sandbox.key("F3");
  sandbox.key("l");
  for (int i = 0; i < 4; ++i) sandbox.key("Next");
  const OverlaySpace space{937, 688, scale};
  const PanelBox room = layOutOverlays(space, true, 0, false).keys;
  const TextPanel page = keyPanelPages(room).back();
  const std::vector<std::string>& keys = page.columns[page.columns.size() - 2].lines;
  const int x = room.x + page.pad + page.columns[page.columns.size() - 2].x;
  const auto rowOf = [&](const std::string& label) {
    return static_cast<int>(std::find(keys.begin(), keys.end(), label) - keys.begin());
  };
  const int sRow = rowOf("S"), tRow = rowOf("T");
  ASSERT_LT(tRow, static_cast<int>(keys.size())) << "S and T are not on the last page";
  const auto rowY = [&](int row) { return room.y + page.pad + row * kLineHeight; };
  EXPECT_TRUE(awaitPicture(sandbox, [&](const Screenshot& s) {
    return glyphNear(s, 'S', x, rowY(sRow), 1, kKeyInk) &&
           glyphNear(s, 'T', x, rowY(tRow), 1, kKeyInk);
  })) << "Page Down does not show S and T";
  // The wheel over the panel turns back to the first page: Escape's row under the title.
  const TextPanel first = keyPanelPages(room).front();
  sandbox.moveMouse(room.x + 40, room.y + 40);
  for (int i = 0; i < 4; ++i) sandbox.click(4);
  EXPECT_TRUE(awaitPicture(sandbox, [&](const Screenshot& s) {
    return glyphNear(s, 'E', room.x + first.pad, rowY(2), 1, kKeyInk) &&
           !glyphNear(s, 'S', x, rowY(sRow), 1, kKeyInk);
  })) << "the wheel over the list does not turn its pages";
  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0) << sandbox.errors();
}

// --ui-scale=2 draws F1's text with each pixel of the font a 2 x 2 block:
// its capitals twice as tall; Ctrl with - gives the font's own size back.
TEST(ViewE2E, UiScaleTwoDrawsTheKeyListTwiceAsLargeAndCtrlMinusGivesItBack) {
  Sandbox sandbox({}, {}, {"--ui-scale=2"});
  ASSERT_TRUE(sandbox.waitForLineStartingWith("SEED = ")) << sandbox.errors();
  ASSERT_TRUE(sandbox.waitForWindow());
  sandbox.key("F1");
  // The title "Keys" at the panel's padding inside its room.
  const int x = kOverlayGap + 8, y = 2 * kOverlayGap + kMarkHeight + 8;
  EXPECT_TRUE(awaitPicture(sandbox, [&](const Screenshot& s) {
    return glyphAt(s, 'K', 2 * x, 2 * y, 2, kKeyInk) &&
           glyphAt(s, 'e', 2 * (x + 7), 2 * y, 2, kKeyInk);
  })) << "no K in 2 x 2 blocks";
  sandbox.key("ctrl+minus");
  EXPECT_TRUE(awaitPicture(sandbox, [&](const Screenshot& s) {
    return glyphAt(s, 'K', x, y, 1, kKeyInk);
  })) << "Ctrl with - does not give the font's own size back";
  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0) << sandbox.errors();
}
