#include "render/renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "bodies/factories.h"
#include "bodies/ship.h"
#include "fixtures/gl_feedback.h"
#include "fixtures/gl_window.h"
#include "game/keys.h"
#include "game/mouse_drag.h"
#include "game/world_setup.h"
#include "render/console_strip.h"
#include "render/key_panel.h"
#include "render/overlay_layout.h"
#include "render/overlays.h"
#include "render/projection.h"
#include "render/window_pixels.h"
#include "state/state.h"
#include "support/console_capture.h"
#include "support/pinned_clock.h"

namespace {

constexpr float kPi = 3.14159265f;
const Rgb kSky = rgb(0.2f, 0.7f, 0.9f);
const Rgb kBlack = rgb(0, 0, 0);

class RendererTest : public GlWindowTest {
 protected:
  RendererTest() {
    createWorld(state);
    init_TABLEAU_DES_DENSITES(state.TABLEAU_DES_DENSITES);
  }
  void SetUp() override {
    GlWindowTest::SetUp();
    glClearColor(0.2f, 0.7f, 0.9f, 1);  // display clears with the sky colour
  }

  void frame() {
    ConsoleCapture quiet;
    display(state);
  }

  // A box body centred on pixel (x, y), w x h px, of the given density.
  b2Body* box(float density, int x, int y, int w = 20, int h = 20,
              b2BodyType type = b2_dynamicBody) {
    b2BodyDef def;
    def.type = type;
    def.position.Set(x * P2M, y * P2M);
    b2Body* body = state.world->CreateBody(&def);
    b2PolygonShape shape;
    shape.SetAsBox(w * P2M / 2, h * P2M / 2);
    body->CreateFixture(&shape, density);
    return body;
  }

  // A circle body of the given radius (px) and exact density.
  b2Body* circle(float density, int x, int y, int r = 15) {
    b2Body* body = addCircle(state, x, y, r, true);
    body->GetFixtureList()->SetDensity(density);
    return body;
  }

  // The red shade of a disc rim, recovered from a pixel inside the disc: the
  // pixel is a mix of the white centre and the rim (shade, 0, 0), and its green
  // channel tells how much white went in.
  float shadeAt(int x, int y) const {
    const Rgb c = pixel(x, y);
    if (c.g >= 255) return -1;
    return static_cast<float>(c.r - c.g) / static_cast<float>(255 - c.g);
  }

  static bool within1(const Rgb& a, const Rgb& b) { return near(a, b); }

  State state;
};

#define EXPECT_PIXEL(x, y, want) \
  EXPECT_PRED2(within1, pixel(x, y), want) << "at (" << (x) << ", " << (y) << ")"

}  // namespace

TEST_F(RendererTest, MetalBoxShowsHalfColourFillAndFullColourRim) {
  PinnedClock clock(secondWhereRandABGives(0, 101, 5));  // bismuth (0.1, 0.6, 0.8)
  {
    ConsoleCapture quiet;
    addRect(state, 500, 200, 20, 20, true);
  }
  frame();
  const Rgb fill = rgb(0.05f, 0.3f, 0.4f), rim = rgb(0.1f, 0.6f, 0.8f);
  EXPECT_PIXEL(500, 200, fill);
  EXPECT_PIXEL(506, 194, fill);
  for (int x : {489, 490, 509, 510}) EXPECT_PIXEL(x, 200, rim);
  for (int y : {189, 190, 209, 210}) EXPECT_PIXEL(500, y, rim);
  EXPECT_PIXEL(486, 200, kSky);
  EXPECT_PIXEL(500, 214, kSky);
  EXPECT_PIXEL(900, 600, kSky);
}

TEST_F(RendererTest, TurnedBoxIsDrawnTurned) {
  PinnedClock clock(secondWhereRandABGives(0, 101, 0));  // platinum (0.4, 0.5, 0.5)
  b2Body* body;
  {
    ConsoleCapture quiet;
    body = addRect(state, 300, 300, 40, 10, true);
  }
  body->SetTransform(body->GetPosition(), kPi / 2);
  frame();
  const Rgb fill = rgb(0.2f, 0.25f, 0.25f), rim = rgb(0.4f, 0.5f, 0.5f);
  // Now 10 px wide and 40 px tall.
  EXPECT_PIXEL(300, 300, fill);
  EXPECT_PIXEL(300, 314, fill);
  EXPECT_PIXEL(300, 319, rim);
  EXPECT_PIXEL(295, 300, rim);
  EXPECT_PIXEL(300, 324, kSky);
  EXPECT_PIXEL(315, 300, kSky);
}

TEST_F(RendererTest, EachMaterialHasItsColour) {
  const struct {
    float density;
    float r, g, b;
  } rows[] = {{50.63f, 1.0f, 0.0f, 0.3f}, {0.97f, 0.5f, 0.4f, 0.0f},  {21.45f, 0.4f, 0.5f, 0.5f},
              {19.3f, 0.8f, 0.8f, 0.0f},  {11.35f, 0.3f, 0.3f, 0.3f}, {10.5f, 0.6f, 0.6f, 0.6f},
              {9.82f, 0.1f, 0.6f, 0.8f},  {8.96f, 0.2f, 0.3f, 0.0f},  {8.27f, 0.9f, 0.9f, 0.9f},
              {7.87f, 0.8f, 0.8f, 0.8f},  {7.29f, 0.9f, 0.9f, 0.8f},  {7.1f, 0.8f, 0.5f, 0.5f},
              {2.7f, 0.5f, 0.6f, 0.7f},   {1.43f, 0.8f, 0.6f, 0.7f}};
  int x = 60;
  for (const auto& row : rows) {
    box(row.density, x, 100);
    x += 60;
  }
  frame();
  x = 60;
  for (const auto& row : rows) {
    SCOPED_TRACE("density " + std::to_string(row.density));
    EXPECT_PIXEL(x, 100, rgb(row.r / 2, row.g / 2, row.b / 2));
    EXPECT_PIXEL(x - 10, 100, rgb(row.r, row.g, row.b));
    x += 60;
  }
}

TEST_F(RendererTest, BoxesOfUnknownDensityAreInvisible) {
  box(1.0f, 200, 400);
  box(0.971f, 300, 400);  // next to sodium's 0.97, but not it
  frame();
  for (int x : {200, 190, 300, 290}) EXPECT_PIXEL(x, 400, kSky);
  EXPECT_EQ(state.world->GetBodyCount(), 2) << "invisible, yet in the world";
}

TEST_F(RendererTest, StaticShipHullAndCraneBoxesShowBlack) {
  PinnedClock clock(secondWhereRandABGives(0, 101, 5));
  {
    ConsoleCapture quiet;
    addRect(state, 500, 300, 20, 20, false);  // static metal: colour, then black
    addRect1(state, 600, 300, 20, 20, true);  // hull
    state.ship = makeShip(state, 150, 840);   // fixed rotation, density 0.95
    CreateGround(state, 690, 290, 20, 20);    // ground piece, centred at (700, 300)
  }
  box(5.99f, 800, 300);  // crane segment
  frame();
  for (int x : {500, 600, 700, 800}) {
    EXPECT_PIXEL(x, 300, kBlack);
    EXPECT_PIXEL(x - 10, 300, kBlack);
    EXPECT_PIXEL(x - 14, 300, kSky);
  }
  for (int x : {76, 150, 224}) EXPECT_PIXEL(x, 840, kBlack);
  EXPECT_PIXEL(150, 826, kBlack);
  EXPECT_PIXEL(70, 840, kSky);
  EXPECT_PIXEL(150, 820, kSky);
}

TEST_F(RendererTest, OlderBodiesArePaintedOverNewerOnes) {
  box(0.97f, 300, 600);                         // sodium, oldest
  box(19.3f, 310, 600);                         // gold, overlaps its right half
  box(7.87f, 510, 600, 20, 20, b2_staticBody);  // static iron: black over...
  box(19.3f, 500, 600);                         // ...a newer gold box
  box(19.3f, 700, 600);                         // gold over...
  box(5.99f, 710, 600);                         // ...a newer black crane box
  frame();
  EXPECT_PIXEL(305, 600, rgb(0.25f, 0.2f, 0.0f));  // sodium fill wins the overlap
  EXPECT_PIXEL(315, 600, rgb(0.4f, 0.4f, 0.0f));   // gold fill beyond it
  EXPECT_PIXEL(505, 600, kBlack);
  EXPECT_PIXEL(495, 600, rgb(0.4f, 0.4f, 0.0f));
  EXPECT_PIXEL(705, 600, rgb(0.4f, 0.4f, 0.0f));
  EXPECT_PIXEL(715, 600, kBlack);
}

TEST_F(RendererTest, CircleDotTakesTheShadeOfItsDensityClass) {
  const struct {
    float density, shade;
  } classes[] = {{0.5f, 1.0f}, {1.0f, 1.0f},  {1.5f, 0.5f},  {2.0f, 0.5f}, {2.5f, 0.7f},
                 {3.0f, 0.7f}, {3.5f, 0.25f}, {4.0f, 0.25f}, {4.5f, 0.1f}, {5.0f, 0.1f}};
  int x = 60;
  for (const auto& c : classes) {
    circle(c.density, x, 500);
    x += 60;
  }
  circle(5.01f, x, 500);
  frame();
  x = 60;
  for (const auto& c : classes) {
    SCOPED_TRACE("density " + std::to_string(c.density));
    EXPECT_NEAR(shadeAt(x + 2, 500), c.shade, 0.03f);
    EXPECT_NEAR(shadeAt(x, 502), c.shade, 0.03f);
    // A dot of 3 px, though the circle's radius is 15 px.
    EXPECT_PIXEL(x + 5, 500, kSky);
    EXPECT_PIXEL(x, 495, kSky);
    x += 60;
  }
  EXPECT_PIXEL(x, 500, kSky) << "above density 5 there is no dot";
}

TEST_F(RendererTest, WheelOnAJointGetsAnOverlayOfItsOwnSize) {
  b2Body* chassis = box(0.99f, 400, 400, 10, 10);
  b2Body* wheel = addWheel(state, 400, 500, 8, true);  // density 1: a full-red dot
  b2Body* loose = addWheel(state, 600, 500, 8, true);
  b2WheelJointDef def;
  def.Initialize(chassis, wheel, wheel->GetPosition(), b2Vec2(0, 1));
  state.world->CreateJoint(&def);
  frame();

  EXPECT_NEAR(shadeAt(406, 500), 0.5f, 0.04f);
  EXPECT_NEAR(shadeAt(402, 500), 0.5f, 0.04f) << "the overlay covers the dot";
  EXPECT_NEAR(shadeAt(400, 494), 0.5f, 0.04f);
  EXPECT_PIXEL(410, 500, kSky);

  EXPECT_NEAR(shadeAt(602, 500), 1.0f, 0.03f) << "a loose wheel is only its dot";
  EXPECT_PIXEL(606, 500, kSky);
  (void)loose;
}

TEST_F(RendererTest, BodyAtTheLeftEdgeIsPaintedThenRemoved) {
  b2Body* edge = box(0.97f, 0, 300);
  box(0.97f, 100, 300)->SetTransform(b2Vec2(0.001f, 20), 0);  // just inside
  frame();
  EXPECT_PIXEL(4, 300, rgb(0.25f, 0.2f, 0.0f)) << "drawn in the frame that removes it";
  ASSERT_EQ(state.world->GetBodyCount(), 1);
  EXPECT_NE(state.world->GetBodyList(), edge);
  EXPECT_FLOAT_EQ(state.world->GetBodyList()->GetPosition().x, 0.001f);

  frame();
  EXPECT_PIXEL(4, 300, kSky);
  EXPECT_PIXEL(4, 200, rgb(0.25f, 0.2f, 0.0f)) << "the one at 1 mm stays";
  EXPECT_EQ(state.world->GetBodyCount(), 1);
}

namespace {

// A pinned second whose addPolygon draws give six points (a five-vertex hull)
// large enough to see, and those draws.
struct SixPoints {
  std::time_t second;
  int w, h, d, d2;
};

SixPoints sixPointPolygon() {
  for (std::time_t t = 1000; t < 200000; ++t) {
    std::srand(static_cast<unsigned>(t));
    const int r = std::rand();
    const SixPoints p{t, 1 + r % 17, 1 + r % 26, 3 + r % 7, 5 + r % 12};
    if (4 + r % 3 == 6 && p.w >= 12 && p.h >= 12) return p;
  }
  ADD_FAILURE() << "no second gives a large six-point polygon";
  return {};
}

}  // namespace

TEST_F(RendererTest, TestPolygonIsDrawnWhereItsBodyIsWithItsOwnVertexCount) {
  const SixPoints p = sixPointPolygon();
  PinnedClock clock(p.second);
  b2Body* body;
  {
    ConsoleCapture quiet;
    body = addPolygon(state, 300, 300);  // local points hold (30, 30) m too: drawn at (600, 600)
  }
  ASSERT_EQ(state.NB_VERTICES, 6);
  const auto* shape = static_cast<const b2PolygonShape*>(body->GetFixtureList()->GetShape());
  ASSERT_EQ(shape->m_count, 5);

  ConsoleCapture console;
  display(state);
  EXPECT_EQ(console.lines(), (std::vector<std::string>{"0", "1", "2", "3", "4"}));

  // The body is static, so vertices 0 to 3 are boxed in black over the yellow;
  // the corner of the hull beyond them stays yellow.
  b2Vec2 px[5];
  for (int i = 0; i < 5; ++i) px[i] = M2P * body->GetWorldPoint(shape->m_vertices[i]);
  const b2Vec2 corner = (1.0f / 3) * (px[3] + px[4] + px[0]);
  EXPECT_PIXEL(static_cast<int>(corner.x), static_cast<int>(corner.y), rgb(1, 1, 0));
  // The hull's points in pixels: (600 + W, 600), (600 + W, 600 + H), (600, 600 + H),
  // (600 - W, 600 + H - D), (600 - W, 600 - H - D2).
  const float left = 600.0f - p.w, top = 600.0f - p.h - p.d2;
  float minX = 1e9f, minY = 1e9f;
  for (const b2Vec2& v : px) {
    minX = std::min(minX, v.x);
    minY = std::min(minY, v.y);
  }
  EXPECT_NEAR(minX, left, 1e-3f);
  EXPECT_NEAR(minY, top, 1e-3f);
  EXPECT_PIXEL(static_cast<int>(left) - 3, 600, kSky);
  EXPECT_PIXEL(600, static_cast<int>(top) - 3, kSky);
  // Nothing where the body-frame vertices would land taken as pixels unmoved.
  EXPECT_PIXEL(static_cast<int>(corner.x) - 300, static_cast<int>(corner.y) - 300, kSky);

  // A box of the test material at (200 m, 40 m), far right of the window, is
  // not drawn, yet prints its index lines, before those of the older polygon.
  b2Body* far = box(kTestDensity, 2000, 400);
  ASSERT_EQ(far->GetPosition(), b2Vec2(200, 40));
  console.clear();
  display(state);
  EXPECT_EQ(console.lines(),
            (std::vector<std::string>{"0", "1", "2", "3", "0", "1", "2", "3", "4"}));
}

// Drawn after the frame, the overlays show only when asked for, and leave the
// frame's colour and the raster position its '0' walks on from as they were.
// The key panel is left to the end-to-end test: a few thousand glBitmap calls
// make LeakSanitizer's thread tracer crash now and then at exit under Mesa.
TEST_F(RendererTest, OverlaysShowOnlyWhenAskedAndLeaveTheFramesColourAndRasterPosition) {
  glColor3f(0.2f, 0.4f, 0.6f);
  glRasterPos2i(100, 900);
  GLfloat before[4], after[4], colour[4];
  glGetFloatv(GL_CURRENT_RASTER_POSITION, before);
  Overlays overlays;
  const std::deque<std::string> lines = {"SEED = 12", "FER"};
  overlays.consoleLines = &lines;
  b2Body* body = box(1, 100, 50);  // (10 m, 5 m)
  drawOverlays(state, overlays);
  EXPECT_PIXEL(1250, 20, kBlack);

  state.paused = true;
  overlays.joints = true;
  drawOverlays(state, overlays);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  EXPECT_FALSE(within1(pixel(1250, 20), kBlack)) << "PAUSE in the top-right corner";
  glGetFloatv(GL_CURRENT_RASTER_POSITION, after);
  EXPECT_EQ(after[0], before[0]);
  EXPECT_EQ(after[1], before[1]);
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_FLOAT_EQ(colour[1], 0.4f);
  state.paused = false;
  overlays.joints = false;

  // F3, F4 and L each draw where they belong, and only while on.
  const Rgb panel = rgb(0.08f, 0.08f, 0.1f);
  const auto drawWith = [&](bool Overlays::*which) {
    clearTo(0.2f, 0.7f, 0.9f);
    Overlays one = overlays;
    one.*which = true;
    drawOverlays(state, one);
  };
  drawWith(&Overlays::figures);
  EXPECT_PIXEL(1270, 40, panel) << "F3's panel in the top-right corner, under the marks";
  EXPECT_PIXEL(1270, 15, kSky);
  EXPECT_PIXEL(150, 840, kSky) << "clear of the ship's start";
  drawWith(&Overlays::physics);
  EXPECT_FALSE(within1(pixel(100, 50), kSky)) << "F4 draws the box at (10 m, 5 m)";
  drawWith(&Overlays::console);
  EXPECT_PIXEL(1270, 930, panel) << "L's band on its own background";
  EXPECT_PIXEL(150, 930, kSky) << "clear of the ship's corner";
  EXPECT_PIXEL(640, 800, kSky);
  // Two overlays, a dragged body's path: count the pixels of one colour.
  const auto count = [&](Rgb c, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += pixel(x, y) == c;
    return n;
  };
  EXPECT_GT(count(rgb(1, 1, 1), 230, 860, 310, 940), 30) << "the lines' text on the band";
  overlays.figures = overlays.console = true;
  drawWith(&Overlays::console);
  EXPECT_PIXEL(1270, 930, panel);
  EXPECT_PIXEL(1270, 40, panel);
  EXPECT_PIXEL(1270, 940 - consoleStripHeight() - 3, kSky) << "F3 and L apart";
  // The bar of the session's time under L's band: the past, the present's
  // handle, the kept future, an F5 mark, what is still to come in a replay.
  overlays.timeline = true;
  overlays.bar.now = 300;
  overlays.bar.end = 600;
  overlays.bar.total = 1200;
  overlays.bar.marks = {{900, 'K'}};
  drawWith(&Overlays::console);
  const int track = 918, at = 13;  // its middle row; its left end, 1254 pixels across
  EXPECT_PIXEL(at + 100, track, rgb(0.2f, 0.45f, 0.85f)) << "the past";
  EXPECT_PIXEL(at + 300 * 1254 / 1200, track, rgb(1, 1, 1)) << "the handle";
  EXPECT_PIXEL(at + 500, track, rgb(0.55f, 0.7f, 0.9f)) << "the kept future";
  EXPECT_PIXEL(at + 900 * 1254 / 1200, track, rgb(0.3f, 0.9f, 0.4f)) << "F5's mark";
  EXPECT_PIXEL(at + 1100, track, rgb(0.25f, 0.25f, 0.28f)) << "not played yet";
  EXPECT_PIXEL(1270, 940 - kTimelineHeight - 3, panel) << "L's band above the bar";

  // Thrown right and a little up, a dragged body's yellow path falls some 300 px.
  overlays = Overlays();
  grabBody(state, 100, 50);
  ASSERT_NE(state.mouseJoint, nullptr);
  body->SetLinearVelocity(b2Vec2(20, -5));
  clearTo(0.2f, 0.7f, 0.9f);
  drawOverlays(state, overlays);
  const int yellow = count(rgb(1, 1, 0), 0, 0, 800, 400);
  EXPECT_GT(yellow, 400);
  EXPECT_GT(count(rgb(1, 1, 0), 401, 151, 800, 400), yellow / 4);
  releaseBody(state);
  EXPECT_TRUE(feedback([&] { drawOverlays(state, overlays); }).empty()) << "nothing to show";
}

// A message shows in the top row beside the marks for three seconds, fades
// over the next and is gone; F6's list skips what cannot be read and asks
// before removing.
TEST_F(RendererTest, AMessageShowsInItsRowThenFadesAndTheSessionListAsksBeforeRemoving) {
  Messages messages;
  const Messages::Clock::time_point t0{};
  messages.post("saved skyhook-20261208-120000.rec", t0);
  EXPECT_EQ(messages.shown(t0 + std::chrono::milliseconds(2900))->opacity, 1);
  const float fading = messages.shown(t0 + std::chrono::milliseconds(3500))->opacity;
  EXPECT_TRUE(fading > 0.3f && fading < 0.7f) << fading;
  EXPECT_FALSE(messages.shown(t0 + std::chrono::seconds(4)));

  Overlays overlays;
  overlays.message = messages.shown(t0);
  state.paused = true;
  clearTo(0.2f, 0.7f, 0.9f);
  drawOverlays(state, overlays);
  int lit = 0;
  for (int x = 0; x < 1000; ++x) lit += !within1(pixel(x, 16), kSky);
  EXPECT_GT(lit, 150) << "the message's row";
  EXPECT_FALSE(within1(pixel(1250, 20), kSky)) << "PAUSE beside it";
  EXPECT_PIXEL(640, 60, kSky);
  EXPECT_PIXEL(150, 840, kSky) << "clear of the ship's start";
  state.paused = false;
  overlays.message = messages.shown(t0 + std::chrono::seconds(5));
  EXPECT_TRUE(feedback([&] { drawOverlays(state, overlays); }).empty()) << "gone, nothing drawn";

  SessionList& list = overlays.sessionList;
  list.show({{"a", "/a"}, {"b unreadable", "/b", false}, {"c", "/c"}}, "");
  EXPECT_EQ(list.chosen, 0) << "the newest";
  EXPECT_EQ(pressInSessionList(list, key::DOWN, false), SessionListAnswer::none);
  EXPECT_EQ(list.chosen, 2) << "over the one that cannot be read";
  pressInSessionList(list, key::DOWN, false);
  EXPECT_EQ(list.chosen, 2);
  EXPECT_EQ(pressInSessionList(list, key::DELETE, false), SessionListAnswer::none);
  EXPECT_TRUE(list.asking);
  EXPECT_EQ(pressInSessionList(list, key::N, false), SessionListAnswer::none) << "no";
  EXPECT_EQ(pressInSessionList(list, key::DELETE, false), SessionListAnswer::none);
  EXPECT_EQ(pressInSessionList(list, key::Y, false), SessionListAnswer::remove) << "yes";
  EXPECT_EQ(pressInSessionList(list, key::RETURN, true), SessionListAnswer::replay);
  EXPECT_EQ(pressInSessionList(list, key::KP_ENTER, false), SessionListAnswer::resume);
  clearTo(0.2f, 0.7f, 0.9f);
  drawOverlays(state, overlays);
  EXPECT_FALSE(within1(pixel(640, 300), kSky)) << "the list over the picture";
  EXPECT_EQ(pressInSessionList(list, key::F6, false), SessionListAnswer::close);
  EXPECT_FALSE(list.open);
  list.show({{"x unreadable", "/x", false}}, "");
  EXPECT_EQ(list.chosen, -1);
  EXPECT_EQ(pressInSessionList(list, key::RETURN, false), SessionListAnswer::none);
}

// Through the camera the bodies are drawn where the view shows them, those
// beyond the game's window too once zoomed out; the game's window gets its
// faint frame; the PAUSE mark stays in the window's corner.
TEST_F(RendererTest, TheCameraMovesTheBodiesAndFramesTheGamesWindowButNotTheOverlays) {
  box(7.87f, 600, 400, 40, 40);   // iron: fill (0.4, 0.4, 0.4)
  box(7.87f, -300, 300, 40, 40);  // left of the game's window
  Camera camera;
  camera.zoomAbout(-4, {900, 200});
  camera.pan(25, -10);
  useCameraProjection(camera);
  Renderer renderer(state);
  renderer.setVisibleArea(camera.visible());
  {
    ConsoleCapture quiet;
    walkBodies(state, &renderer);
  }
  const auto at = [&](ViewPoint p) {
    p = camera.toView(p);
    return pixel(static_cast<int>(p.x), static_cast<int>(p.y));
  };
  EXPECT_PRED2(within1, at({600, 400}), rgb(0.4f, 0.4f, 0.4f));
  EXPECT_PRED2(within1, at({-300, 300}), rgb(0.4f, 0.4f, 0.4f));
  EXPECT_PIXEL(600, 400, kSky) << "the game's own place of the box is empty";
  state.paused = true;
  drawOverlays(state, Overlays(), camera);
  EXPECT_FALSE(within1(at({0, 470}), kSky)) << "the frame of the game's window";
  EXPECT_FALSE(within1(pixel(1250, 20), kSky)) << "PAUSE in the top-right corner";

  // Time running, the zoom's mark takes PAUSE's place; FOLLOW shows while F
  // follows, at the game's own view too; Home's view without follow shows neither.
  state.paused = false;
  Overlays following;
  following.following = true;
  for (const auto& [view, shown, marked] :
       {std::tuple{camera, Overlays(), true}, {Camera(), following, true}}) {
    useCameraProjection(view);
    clearTo(0.2f, 0.7f, 0.9f);
    drawOverlays(state, shown, view);
    EXPECT_EQ(!within1(pixel(1250, 20), kSky), marked);
  }
  clearTo(0.2f, 0.7f, 0.9f);
  EXPECT_TRUE(feedback([&] { drawOverlays(state, Overlays(), Camera()); }).empty());
  usePixelProjection();
}

// For each window size, with F1, F3 and L on: each overlay inside the
// picture, none on another nor on the ship where it starts; each of F1's
// pages inside its room, and every key row on one of them.
TEST(OverlayLayoutTest, NoOverlayCoversAnotherNorTheShipAtAnySize) {
  struct Size {
    int window, pictureWidth, pictureHeight;  // the picture fitted to the window
  };
  for (const Size size : {Size{600, 600, 441}, Size{640, 640, 470}, Size{937, 937, 688},
                          Size{1280, 1280, 940}, Size{1900, 1634, 1200}}) {
    SCOPED_TRACE(size.window);
    const float scale = static_cast<float>(size.pictureWidth) / WIDTH;
    const int zoom = overlayZoom(scale, size.window);
    EXPECT_EQ(zoom, size.window >= 1800 ? 2 : 1);
    EXPECT_EQ(roomyOverlayZoom(size.pictureWidth), size.window >= 1280 ? 2 : 1)
        << "the most a user may choose: 640 overlay pixels across, no fewer";
    const OverlaySpace space{size.pictureWidth / zoom, size.pictureHeight / zoom, scale / zoom};
    const int figureRows = static_cast<int>(figureLines(Figures()).size()) + 3;  // and the view's
    const OverlayLayout layout = layOutOverlays(space, true, figureRows, true);
    // The bar of the session's time: along the bottom, nine tenths wide at
    // least, within its 40 pixels; the others keep above it.
    const OverlayLayout withBar = layOutOverlays(space, true, figureRows, true, true);
    const PanelBox& bar = withBar.timeline;
    EXPECT_GE(bar.width * 10, space.width * 9);
    EXPECT_TRUE(bar.y >= space.height - kTimelineHeight && bar.y + bar.height <= space.height);
    for (const PanelBox& other : {withBar.marks, withBar.figures, withBar.keys, withBar.console})
      EXPECT_FALSE(intersect(bar, other)) << "the bar covers another overlay";
    const std::vector<TextPanel> pages = keyPanelPages(layout.keys);
    std::vector<PanelBox> boxes = {layout.marks, layout.messages, layout.figures, layout.console};
    for (const TextPanel& page : pages) {
      const PanelBox box = placeTextPanel(space.width, space.height, page);
      EXPECT_TRUE(box.x >= layout.keys.x && box.y >= layout.keys.y &&
                  box.x + box.width <= layout.keys.x + layout.keys.width &&
                  box.y + box.height <= layout.keys.y + layout.keys.height)
          << "the page fits its room";
      boxes.push_back(box);
    }
    // The ship: 150 x 30 about (150, 840) of the picture.
    const float k = space.perPicturePixel;
    const PanelBox ship{static_cast<int>(75 * k), static_cast<int>(825 * k),
                        static_cast<int>(150 * k) + 1, static_cast<int>(30 * k) + 1};
    for (size_t i = 0; i < boxes.size(); ++i) {
      const PanelBox& a = boxes[i];
      EXPECT_GT(a.width, 0) << i;
      EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.x + a.width <= space.width &&
                  a.y + a.height <= space.height)
          << "overlay " << i << " in the picture";
      EXPECT_FALSE(intersect(a, ship)) << "overlay " << i << " covers the ship";
      // The key list's pages take turns; everything else shows together.
      for (size_t j = i + 1; j < boxes.size() && i < 4; ++j)
        EXPECT_FALSE(intersect(a, boxes[j])) << "overlays " << i << " and " << j;
    }
    std::set<std::string> shown;
    for (const TextPanel& page : pages)
      for (size_t c = 0; c < page.columns.size(); c += 2)
        shown.insert(page.columns[c].lines.begin(), page.columns[c].lines.end());
    for (const KeyRow& row : kKeys) EXPECT_EQ(shown.count(row.keys), 1u) << row.keys;
    if (size.window < 1280) {
      EXPECT_GT(pages.size(), 1u) << "too little room for one page";
    }
    if (size.window == 1280) {
      EXPECT_EQ(pages.front().columns.size(), 4u) << "two columns";
    }
  }
}
