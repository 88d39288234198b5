#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/state.h"
#include "app/world_setup.h"
#include "bodies/factories.h"
#include "bodies/ship.h"
#include "render/primitives.h"
#include "render/renderer.h"
#include "support/console_capture.h"
#include "support/gl_window.h"
#include "support/pinned_clock.h"

namespace {

std::vector<unsigned char> readWindow() {
  glFinish();
  std::vector<unsigned char> pixels(static_cast<size_t>(WIDTH) * HEIGHT * 4);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

// Every box drawn one by one with drawSquare, every pass of it, newest body first.
void drawBoxByBox(const State& state) {
  glClear(GL_COLOR_BUFFER_BIT);
  glLoadIdentity();
  for (b2Body* b = state.world->GetBodyList(); b; b = b->GetNext()) {
    const auto* p = static_cast<const b2PolygonShape*>(b->GetFixtureList()->GetShape());
    b2Vec2 points[4] = {p->m_vertices[0], p->m_vertices[1], p->m_vertices[2], p->m_vertices[3]};
    const float d = b->GetFixtureList()->GetDensity();
    if (d == 7.87f) drawSquare(points, b->GetWorldCenter(), b->GetAngle(), 0.8f, 0.8f, 0.8f);
    if (b->GetType() == b2_staticBody)
      drawSquare(points, b->GetWorldCenter(), b->GetAngle(), 0, 0, 0);
    if (b->IsFixedRotation()) drawSquare(points, b->GetWorldCenter(), b->GetAngle(), 0, 0, 0);
  }
}

class BlackBatchTest : public GlWindowTest {};

// Black boxes are gathered into runs and drawn together; the picture must stay the
// one that drawing them box by box gives, overlaps with coloured boxes included.
TEST_F(BlackBatchTest, BatchedFrameMatchesBoxByBoxDrawing) {
  ConsoleCapture console;
  PinnedClock clock(secondWhereRandABGives(0, 101, 90));  // every metal box is iron, 7.87
  State state;
  createWorld(state);
  init_TABLEAU_DES_DENSITES(state.TABLEAU_DES_DENSITES);
  for (int i = 0; i < 60; ++i) {
    b2Body* b = addRect(state, 40 + i * 20, 300 + (i % 7) * 9, 20 + i % 5, 15, i % 3 != 0);
    b->SetTransform(b->GetPosition(), 0.37f * i);
    CreateGround(state, 30 + i * 21, 600 + (i % 4) * 3, 10 + i % 3, 5);
  }
  b2Body* ship = makeShip(state, 640, 320);
  ship->SetTransform(ship->GetPosition(), 0);
  glClearColor(0.3f, 0.6f, 0.9f, 1);

  display(state);
  const std::vector<unsigned char> batched = readWindow();
  drawBoxByBox(state);
  const std::vector<unsigned char> boxByBox = readWindow();

  // The top-right corner holds nothing but sky.
  const size_t corner = (static_cast<size_t>(HEIGHT - 1) * WIDTH + WIDTH - 1) * 4;
  int drawn = 0, differing = 0;
  for (size_t i = 0; i < batched.size(); i += 4) {
    const bool sky = boxByBox[i] == boxByBox[corner] && boxByBox[i + 1] == boxByBox[corner + 1] &&
                     boxByBox[i + 2] == boxByBox[corner + 2];
    if (!sky) ++drawn;
    if (std::abs(batched[i] - boxByBox[i]) > 2 || std::abs(batched[i + 1] - boxByBox[i + 1]) > 2 ||
        std::abs(batched[i + 2] - boxByBox[i + 2]) > 2)
      ++differing;
  }
  ASSERT_GT(drawn, 20000);
  ASSERT_LT(drawn, WIDTH * HEIGHT / 4);
  // Edges of rotated boxes may round to a neighbouring pixel; nothing more.
  EXPECT_LT(differing, drawn / 200) << differing << " of " << drawn << " drawn pixels differ";
}

}  // namespace
