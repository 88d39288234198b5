#include "support/gl_window.h"

#include <GL/freeglut.h>
#include <SDL/SDL.h>

#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string>

#include "app/state.h"

std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

int toByte(float component) { return static_cast<int>(std::lround(component * 255.0f)); }

Rgb rgb(float r, float g, float b) { return {toByte(r), toByte(g), toByte(b)}; }

namespace {

// Opens the window once per process; the reason when it cannot.
const std::string& windowProblem() {
  static const std::string problem = [] {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("SDL_VIDEODRIVER", "x11", 0);
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
      return std::string("no display for the OpenGL tests: ") + SDL_GetError();
    if (!SDL_SetVideoMode(WIDTH, HEIGHT, 32, SDL_OPENGL))
      return std::string("no OpenGL window: ") + SDL_GetError();
    int argc = 1;
    char name[] = "skyhook_tests";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    return std::string();
  }();
  return problem;
}

}  // namespace

void GlWindowTest::SetUpTestSuite() { windowProblem(); }

void GlWindowTest::SetUp() {
  // A test that cannot draw fails; it is not skipped.
  ASSERT_EQ(windowProblem(), "");
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, WIDTH, HEIGHT, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_BLEND);
  glPointSize(1);
  glLineWidth(1);
  clearTo(0, 0, 0);
}

void GlWindowTest::clearTo(float r, float g, float b) {
  glClearColor(r, g, b, 1);
  glClear(GL_COLOR_BUFFER_BIT);
}

Rgb GlWindowTest::pixel(int x, int y) const {
  glFinish();
  unsigned char c[4] = {};
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, HEIGHT - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, c);
  return {c[0], c[1], c[2]};
}

bool GlWindowTest::near(const Rgb& a, const Rgb& b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}
