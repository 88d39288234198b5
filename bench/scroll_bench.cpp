// Measures a long scrolling ride: the simulation side of a frame against a bare
// step, the drawn frame in a real window against a batched reference drawing,
// and body count and memory over tens of thousands of frames.
//
//   scroll_bench [--frames-only]    (the drawing figures need an X display)

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

#include "app/controls.h"
#include "app/frame.h"
#include "app/keys.h"
#include "app/pacer.h"
#include "app/state.h"
#include "app/world_setup.h"
#include "app/world_step.h"
#include "render/body_walk.h"
#include "render/renderer.h"
#include "terrain/random.h"
#include "terrain/terrain.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

double median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

double residentMiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

struct Ride {
  State state;
  unsigned char keys[key::COUNT] = {};

  Ride() {
    drawSkyColour(state);
    createWorld(state);
    buildFirstScene(state);
    keys[key::SPACE] = 1;
  }

  void simulate() {
    applyHeldKeys(state, keys);
    walkBodies(state, nullptr);
    stepWorld(state);
  }
};

// Console lines of new boxes would swamp the figures.
struct QuietConsole {
  std::ostringstream sink;
  std::streambuf* saved = std::cout.rdbuf(sink.rdbuf());
  ~QuietConsole() { std::cout.rdbuf(saved); }
  void drain() { sink.str(""); }
};

void simulationRatio() {
  QuietConsole quiet;
  Ride ride;
  for (int i = 0; i < 3000; ++i) ride.simulate();
  quiet.drain();

  double frame = 0, reference = 0;
  const int n = 3000;
  for (int i = 0; i < n; ++i) {
    auto t0 = Clock::now();
    ride.simulate();
    auto t1 = Clock::now();
    // The reference on the same world: a bare step plus an origin shift (by zero, so
    // that it costs a shift and changes nothing).
    ride.state.world->ShiftOrigin(b2Vec2(0, 0));
    ride.state.world->Step(0.05f, 8, 3);
    auto t3 = Clock::now();
    frame += seconds(t0, t1);
    reference += seconds(t1, t3);
  }
  quiet.drain();
  std::printf("1. simulation frame %.1f us, bare Step+ShiftOrigin %.1f us, ratio %.2f (target <= 1.3); bodies %d\n",
              1e6 * frame / n, 1e6 * reference / n, frame / reference,
              ride.state.world->GetBodyCount());
}

// All fills in one vertex array and one draw, all outlines in another.
void drawReference(const State& state, std::vector<float>& fills, std::vector<float>& lines) {
  fills.clear();
  lines.clear();
  for (b2Body* b = state.world->GetBodyList(); b; b = b->GetNext()) {
    const b2Fixture* f = b->GetFixtureList();
    if (f->GetType() != b2Shape::e_polygon) continue;
    const auto* p = static_cast<const b2PolygonShape*>(f->GetShape());
    b2Vec2 v[4];
    for (int i = 0; i < 4; ++i) v[i] = M2P * b->GetWorldPoint(p->m_vertices[i]);
    for (int i : {0, 1, 2, 0, 2, 3}) {
      fills.push_back(v[i].x);
      fills.push_back(v[i].y);
    }
    for (int i = 0; i < 4; ++i) {
      lines.push_back(v[i].x);
      lines.push_back(v[i].y);
      lines.push_back(v[(i + 1) % 4].x);
      lines.push_back(v[(i + 1) % 4].y);
    }
  }
  glLoadIdentity();
  glEnableClientState(GL_VERTEX_ARRAY);
  glColor3f(0.2f, 0.2f, 0.2f);
  glVertexPointer(2, GL_FLOAT, 0, fills.data());
  glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(fills.size() / 2));
  glLineWidth(3);
  glColor3f(0, 0, 0);
  glVertexPointer(2, GL_FLOAT, 0, lines.data());
  glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(lines.size() / 2));
}

bool drawnFrames(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "x11", 0);
  if (SDL_Init(SDL_INIT_VIDEO) < 0 || !SDL_SetVideoMode(WIDTH, HEIGHT, 32, SDL_OPENGL)) {
    std::fprintf(stderr, "2. skipped: no OpenGL window (%s)\n", SDL_GetError());
    return false;
  }
  glutInit(&argc, argv);
  glMatrixMode(GL_PROJECTION);
  glOrtho(0, WIDTH, HEIGHT, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glClearColor(0.3f, 0.5f, 0.8f, 1);

  QuietConsole quiet;
  Ride ride;
  for (int i = 0; i < 3000; ++i) ride.simulate();
  quiet.drain();

  // Frames per second of the whole frame loop: held keys, drawing, step, swap.
  const int n = 1000;
  const auto start = Clock::now();
  for (int i = 0; i < n; ++i) {
    SDL_PumpEvents();
    runFrame(ride.state, ride.keys);
    SDL_GL_SwapBuffers();
  }
  const double elapsed = seconds(start, Clock::now());

  // Renderer against the reference, interleaved frame by frame so that both see
  // the same bodies and the same load on the machine; medians of the frames.
  std::vector<double> rendererTimes, referenceTimes;
  std::vector<float> fills, lines;
  for (int i = 0; i < n; ++i) {
    applyHeldKeys(ride.state, ride.keys);
    glFinish();
    auto t0 = Clock::now();
    display(ride.state);
    glFinish();
    auto t1 = Clock::now();
    glClear(GL_COLOR_BUFFER_BIT);  // a frame of its own, as display's is
    drawReference(ride.state, fills, lines);
    glFinish();
    auto t2 = Clock::now();
    stepWorld(ride.state);
    SDL_GL_SwapBuffers();
    rendererTimes.push_back(seconds(t0, t1));
    referenceTimes.push_back(seconds(t1, t2));
  }
  const double renderer = median(rendererTimes), reference = median(referenceTimes);
  quiet.drain();
  std::printf("2. whole frame: %.0f frames/s (target >= 100); renderer %.2f ms, batched reference %.2f ms, ratio %.2f (target <= 2); bodies %d\n",
              n / elapsed, 1e3 * renderer, 1e3 * reference, renderer / reference,
              ride.state.world->GetBodyCount());
  SDL_Quit();
  return true;
}

// A clock for the random draws that ticks one second per 60 frames, as a paced
// run's does; a free-running ride would stay within a few seconds and repeat them.
std::time_t rideSecond = 1700000000;
std::time_t rideClock() { return rideSecond; }

// Body counts swing with the landscape, so each mark reports the mean over the
// 5,000 frames before it; 216,000 frames are one hour at 60 frames per second.
void longRide() {
  QuietConsole quiet;
  const std::time_t start = rideSecond;
  setRandomClock(rideClock);
  Ride ride;
  int frame = 0;
  std::printf("3. long ride, clock +1 s per 60 frames (bodies and frame time: mean of the last 5000 frames;\n"
              "   terrain columns live from x = 200 px + cursor to the left edge, so their number\n"
              "   grows with the cursor's 0.001 px per frame; the rest is debris, cars and the ship):\n");
  for (int mark : {30000, 60000, 216000}) {
    double columns = 0, others = 0, time = 0;
    int counted = 0;
    for (; frame < mark; ++frame) {
      rideSecond = start + frame / 60;
      if (frame < mark - 5000) {
        ride.simulate();
      } else {
        const auto t0 = Clock::now();
        ride.simulate();
        time += seconds(t0, Clock::now());
        for (b2Body* b = ride.state.world->GetBodyList(); b; b = b->GetNext())
          (b->GetFixtureList()->GetDensity() == kGroundDensity ? columns : others) += 1;
        ++counted;
      }
      if (frame % 1000 == 0) quiet.drain();
    }
    quiet.drain();
    std::printf("   after %6d frames: %7.1f bodies (%6.1f columns, cursor %.0f px; %6.1f others), "
                "%5.1f MiB resident, %4.0f us per simulated frame\n",
                mark, (columns + others) / counted, columns / counted, ride.state.bordGaucheEcran,
                others / counted, residentMiB(), 1e6 * time / counted);
    std::fflush(stdout);
  }
  setRandomClock(nullptr);
}

// The frame loop as main runs it, in a real window: first unpaced, the frames per
// second the machine could give (the headroom over 60), then paced.
bool pacedFrames(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "x11", 0);
  if (SDL_Init(SDL_INIT_VIDEO) < 0 || !SDL_SetVideoMode(WIDTH, HEIGHT, 32, SDL_OPENGL)) {
    std::fprintf(stderr, "4. skipped: no OpenGL window (%s)\n", SDL_GetError());
    return false;
  }
  if (!glutGet(GLUT_INIT_STATE)) glutInit(&argc, argv);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, WIDTH, HEIGHT, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glClearColor(0.3f, 0.5f, 0.8f, 1);

  QuietConsole quiet;
  Ride ride;
  for (int i = 0; i < 3000; ++i) ride.simulate();
  quiet.drain();

  auto loop = [&](int frames, bool paced) {
    FramePacer pacer;
    const auto start = Clock::now();
    for (int i = 0; i < frames; ++i) {
      SDL_PumpEvents();
      runFrame(ride.state, ride.keys);
      SDL_GL_SwapBuffers();
      if (paced) pacer.wait();
    }
    quiet.drain();
    return frames / seconds(start, Clock::now());
  };
  const double unpaced = loop(600, false);
  const double paced = loop(600, true);
  std::printf("4. frame loop while scrolling: paced %.1f frames/s (cap 60); unpaced %.0f frames/s, headroom %.1f x 60; bodies %d\n",
              paced, unpaced, unpaced / 60, ride.state.world->GetBodyCount());
  SDL_Quit();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool framesOnly = argc > 1 && std::strcmp(argv[1], "--frames-only") == 0;
  // The long ride first, so that its memory is the simulation's alone.
  if (!framesOnly) longRide();
  simulationRatio();
  drawnFrames(argc, argv);
  pacedFrames(argc, argv);
  return 0;
}
