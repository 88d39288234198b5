#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "bodies/cars.h"
#include "bodies/factories.h"
#include "bodies/ship.h"
#include "fixtures/gl_window.h"
#include "game/body_walk.h"
#include "game/controls.h"
#include "game/frame.h"
#include "game/keys.h"
#include "game/world_setup.h"
#include "render/renderer.h"
#include "state/state.h"
#include "support/console_capture.h"
#include "support/pinned_clock.h"

namespace {

std::vector<unsigned char> readWindow() {
  glFinish();
  std::vector<unsigned char> pixels(static_cast<size_t>(WIDTH) * HEIGHT * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

class FrameBatchTest : public GlWindowTest {
 protected:
  FrameBatchTest() { createWorld(state); }

  void SetUp() override {
    GlWindowTest::SetUp();
    glClearColor(0.3f, 0.6f, 0.9f, 1);
  }

  // The batched frame against the body-by-body frame of the same world. One
  // walk first takes away what sits at the left edge, so that both frames walk
  // the same bodies; their console lines must match too.
  void expectBodyByBodyPicture(int minDrawn) {
    ConsoleCapture console;
    walkBodies(state, nullptr);
    resetGlyphPosition();
    display(state);
    const std::vector<unsigned char> batched = readWindow();
    const std::string batchedLines = console.text();
    console.clear();
    resetGlyphPosition();
    displayBodyByBody(state);
    const std::vector<unsigned char> reference = readWindow();
    EXPECT_EQ(batchedLines, console.text());

    // The top-right pixel holds nothing but sky.
    const size_t corner = (static_cast<size_t>(HEIGHT - 1) * WIDTH + WIDTH - 1) * 3;
    int drawn = 0, differing = 0;
    for (size_t i = 0; i < reference.size(); i += 3) {
      const bool sky = reference[i] == reference[corner] &&
                       reference[i + 1] == reference[corner + 1] &&
                       reference[i + 2] == reference[corner + 2];
      if (!sky) ++drawn;
      if (batched[i] != reference[i] || batched[i + 1] != reference[i + 1] ||
          batched[i + 2] != reference[i + 2]) {
        if (differing < 10) {
          const size_t p = i / 3;
          ADD_FAILURE() << "pixel (" << p % WIDTH << ", " << HEIGHT - 1 - p / WIDTH << ") is ("
                        << +batched[i] << ", " << +batched[i + 1] << ", " << +batched[i + 2]
                        << "), drawn body by body (" << +reference[i] << ", " << +reference[i + 1]
                        << ", " << +reference[i + 2] << ")";
        }
        ++differing;
      }
    }
    EXPECT_GT(drawn, minDrawn) << "the scene must fill a good part of the window";
    EXPECT_EQ(differing, 0) << differing << " of " << drawn << " drawn pixels differ";
  }

  // The frame's "0" moves on by its width each frame; both frames start it at the same place.
  static void resetGlyphPosition() {
    glColor3f(1, 1, 1);
    glRasterPos2i(0, HEIGHT - 1);
  }

  b2Body* box(float density, float x, float y, float w, float h, float angle,
              b2BodyType type = b2_dynamicBody) {
    b2BodyDef def;
    def.type = type;
    def.position.Set(x * P2M, y * P2M);
    def.angle = angle;
    b2Body* body = state.world->CreateBody(&def);
    b2PolygonShape shape;
    shape.SetAsBox(w * P2M / 2, h * P2M / 2);
    body->CreateFixture(&shape, density);
    return body;
  }

  // A circle without joints: a 3 px dot whatever its size.
  void dot(float x, float y) {
    b2BodyDef def;
    def.type = b2_dynamicBody;
    def.position.Set(x * P2M, y * P2M);
    b2CircleShape shape;
    shape.m_radius = 0.5f;
    state.world->CreateBody(&def)->CreateFixture(&shape, 1);
  }

  State state;
};

// Edges and corners on pixel centres are where rounding decides the coverage.
TEST_F(FrameBatchTest, HalfPixelBoxesAndDiscsMatchBodyByBody) {
  const float quarter = 1.5707964f;
  int n = 0;
  for (int row = 0; row < 14; ++row) {
    for (int col = 0; col < 30; ++col, ++n) {
      const float x = 30 + col * 41 + 0.5f * (n % 2), y = 30 + row * 63 + 0.5f * (n % 3 == 0);
      const float angle = n % 4 == 0 ? 0 : n % 4 == 1 ? quarter : 0.37f * n;
      const float density = n % 5 == 0 ? 19.3f : n % 5 == 1 ? 7.87f : 2.7f;
      box(density, x, y, 21 + n % 4, 30 - n % 3, angle,
          n % 7 == 0 ? b2_staticBody : b2_dynamicBody);
      // Overlapping neighbours: a newer box under an older one, and discs.
      if (n % 3 == 0) box(0.97f, x + 12, y + 9, 14, 14, -0.2f * n);
      if (n % 4 == 1) {
        b2Body* disc = addCircle(state, static_cast<int>(x) - 8, static_cast<int>(y) + 16, 9, true);
        disc->SetTransform(disc->GetPosition(), 0.11f * n);
      }
    }
  }
  // An older dot 0.9 px beside a newer box: the box's rim reaches 1.5 px past
  // its edge, into the dot, which must cover it. Beside the box and below it,
  // at every whole-pixel offset over 16 px.
  for (int n = 0; n < 16; ++n) {
    const float edge = 20 + n * 33 + 0.3f;
    dot(edge + 0.9f + 3, 905);
    box(19.3f, edge - 7, 905, 14, 20, 0);
    const float bottom = 885 + n + 0.3f;
    dot(720 + n * 33, bottom + 0.9f + 3);
    box(19.3f, 720 + n * 33, bottom - 5, 20, 10, 0);
  }
  expectBodyByBodyPicture(200000);
}

// A pile of cars, a landscape scrolled for a while with its debris, the crane
// car under the ship and a test polygon: every kind of body the frame draws.
TEST_F(FrameBatchTest, DenseSceneMatchesBodyByBody) {
  PinnedClock clock(4242);
  {
    ConsoleCapture quiet;
    drawSkyColourSetGravity(state);
    buildFirstScene(state);
    unsigned char keys[key::COUNT] = {};
    keys[key::SPACE] = 1;
    for (int i = 0; i < 400; ++i) {
      clock.set(4242 + i / 20);
      playFrame(state, keys);
    }
    makeCar2(state, 400, 300);
    for (int i = 0; i < 80; ++i) makeCar(state, 500 + (i % 20) * 35, 100 + (i / 20) * 45);
    addPolygon(state, 300, 200);
    keys[key::SPACE] = 0;
    for (int i = 0; i < 40; ++i) playFrame(state, keys);
  }
  expectBodyByBodyPicture(100000);

  // Scaled down into a smaller window (937 x 688), and into the full screen of
  // 1024 x 768 with its border (seen here at the window's lower-left corner).
  for (const auto& viewport : {std::array<GLint, 4>{0, 252, 937, 688}, {0, 8, 1024, 752}}) {
    SCOPED_TRACE(std::to_string(viewport[2]) + " x " + std::to_string(viewport[3]));
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    expectBodyByBodyPicture(50000);
  }
  glViewport(0, 0, WIDTH, HEIGHT);
}

// The ground's columns, drawn as rows of boxes where they stand at one height,
// over a long ride: mountains of every slope, at the game's size and scaled.
TEST_F(FrameBatchTest, ScrolledGroundMatchesBodyByBody) {
  PinnedClock clock(1700000000);
  ConsoleCapture quiet;
  drawSkyColourSetGravity(state);
  buildFirstScene(state);
  unsigned char keys[key::COUNT] = {};
  keys[key::SPACE] = 1;
  for (int shot = 0; shot < 6; ++shot) {
    for (int i = 0; i < 700; ++i) {
      if (i % 60 == 0) clock.tick();
      playFrame(state, keys);
    }
    SCOPED_TRACE("after " + std::to_string(700 * (shot + 1)) + " frames");
    expectBodyByBodyPicture(5000);
    if (shot % 2) {
      glViewport(0, 252, 937, 688);
      expectBodyByBodyPicture(3000);
      glViewport(0, 0, WIDTH, HEIGHT);
    }
  }
}

}  // namespace
