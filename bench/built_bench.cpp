// 500 bodies built with the tools (boxes, balls and ropes, the limit's worth)
// over the floor of the first scene, settled: the loop as main runs it,
// paced and unpaced, against a bare Box2D step on the same world.
//   built_bench

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <chrono>
#include <cstdio>
#include <ctime>

#include "app/pacer.h"
#include "app/window.h"
#include "game/build_tools.h"
#include "game/frame.h"
#include "game/keys.h"
#include "game/world_setup.h"
#include "render/overlays.h"
#include "render/projection.h"
#include "render/renderer.h"
#include "state/state.h"
#include "support/console_capture.h"
#include "support/pinned_clock.h"

namespace {

using Clock = std::chrono::steady_clock;
double seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

void drag(State& state, Tool tool, int x0, int y0, int x1, int y1) {
  chooseTool(state, tool);
  pressLeftButton(state, x0, y0);
  moveLeftButton(state, x1, y1);
  releaseLeftButton(state);
}

// Rows of boxes and balls, and ropes of 20 links hung between them, until
// the limit is reached; then left to fall and settle.
void buildFiveHundred(State& state, PinnedClock& clock) {
  const unsigned char keys[key::COUNT] = {};
  for (int round = 0; static_cast<int>(state.built.size()) < kBuiltBodyLimit; ++round) {
    const int y = 80 + (round % 6) * 40;
    for (int i = 0; i < 12 && static_cast<int>(state.built.size()) < kBuiltBodyLimit; ++i) {
      const int x = 100 + i * 90 + (round % 2) * 30;
      if (i % 2) drag(state, Tool::box, x, y, x + 15, y + 12);
      else drag(state, Tool::ball, x, y, x + 7, y);
    }
    if (static_cast<int>(state.built.size()) + 20 <= kBuiltBodyLimit)
      drag(state, Tool::rope, 100 + (round % 2) * 30, y, 1100, y);
    for (int f = 0; f < 30; ++f) clock.tick(), playFrame(state, keys);
  }
  for (int f = 0; f < 600; ++f) clock.tick(), playFrame(state, keys);
}

}  // namespace

int main(int argc, char** argv) {
  if (!openWindow()) {
    std::fprintf(stderr, "built_bench: no OpenGL window\n");
    return 1;
  }
  initText(argc, argv);
  usePixelProjection();
  glClearColor(0.3f, 0.5f, 0.8f, 1);
  ConsoleCapture quiet;
  PinnedClock clock(1700000000);
  State state;
  drawSkyColourSetGravity(state);
  createWorld(state);
  buildFirstScene(state);
  buildFiveHundred(state, clock);
  quiet.clear();

  const unsigned char keys[key::COUNT] = {};
  Renderer renderer(state);
  const Overlays overlays;
  double cpuMs = 0;
  auto loop = [&](int frames, bool paced) {
    FramePacer pacer;
    const std::clock_t cpu0 = std::clock();
    const auto start = Clock::now();
    for (int i = 0; i < frames; ++i) {
      clock.tick();
      SDL_PumpEvents();
      playFrame(state, keys, &renderer);
      drawOverlays(state, overlays);
      SDL_GL_SwapBuffers();
      if (paced) pacer.wait();
    }
    cpuMs = 1e3 * static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC / frames;
    return frames / seconds(start, Clock::now());
  };
  const double paced = loop(600, true);
  const double unpaced = loop(300, false);

  // The step alone against a frame's simulation without drawing.
  double frame = 0, bare = 0;
  const int n = 300;
  for (int i = 0; i < n; ++i) {
    const auto t0 = Clock::now();
    playFrame(state, keys);
    const auto t1 = Clock::now();
    stepSolver(*state.world);
    const auto t2 = Clock::now();
    frame += seconds(t0, t1);
    bare += seconds(t1, t2);
  }
  std::printf(
      "built bodies: %zu (%d bodies, %d joints, %d contacts): paced %.1f frames/s (cap 60); "
      "unpaced %.0f frames/s, %.2f ms CPU a frame; simulation %.2f ms against a bare step %.2f "
      "ms, ratio %.2f\n",
      state.built.size(), state.world->GetBodyCount(), state.world->GetJointCount(),
      state.world->GetContactCount(), paced, unpaced, cpuMs, 1e3 * frame / n, 1e3 * bare / n,
      frame / bare);
  SDL_Quit();
  return 0;
}
