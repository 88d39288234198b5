// Measures a long scrolling ride: the simulation side of a frame against a bare
// step, the drawn frame in a real window against a batched reference drawing,
// and body count and memory over an hour of frames under both gravities; the
// drawn frames also on a settled pile of a thousand cars, and against the
// number of plain cars that C piles up; F4's physics view over the pile, and the
// pile with the camera zoomed all the way out.
//
//   scroll_bench [--frames-only | --ride-only | --cars-only | --physics-view-only | --camera-only]
//   (the drawing figures need an X display)

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <vector>

#include "app/pacer.h"
#include "app/window.h"
#include "bodies/cars.h"
#include "game/body_walk.h"
#include "game/controls.h"
#include "game/frame.h"
#include "game/keys.h"
#include "game/world_setup.h"
#include "render/camera.h"
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

  // gravity > 0 replaces the sky's.
  explicit Ride(float gravity = 0) {
    drawSkyColourSetGravity(state);
    if (gravity > 0) state.GRAVITY = gravity;
    createWorld(state);
    buildFirstScene(state);
    keys[key::SPACE] = 1;
  }

  void simulate() { playFrame(state, keys); }
};

// Console lines of new boxes would swamp the figures; cleared now and then.
using QuietConsole = ConsoleCapture;

// The clock the random functions read while frames are drawn: a fixed start,
// one second on every 60 frames, so that every run draws the same scenes.
constexpr std::time_t kFirstSecond = 1700000000;

// On a pinned world (clock, seed and sky), each frame against a bare step plus
// an origin shift on the same world, alternating which goes first; the median
// of the per-frame ratios, which a loaded machine moves far less than a sum.
void simulationRatio() {
  QuietConsole quiet;
  PinnedClock clock(kFirstSecond);
  std::srand(static_cast<unsigned>(kFirstSecond));
  Ride ride;
  for (int i = 0; i < 3000; ++i) clock.tick(), ride.simulate();
  quiet.clear();

  const int n = 3000;
  std::vector<double> frames, references, ratios;
  for (int i = 0; i < n; ++i) {
    auto reference = [&] {
      // By zero, so that it costs a shift and changes nothing.
      const auto t0 = Clock::now();
      ride.state.world->ShiftOrigin(b2Vec2(0, 0));
      stepSolver(*ride.state.world);
      return seconds(t0, Clock::now());
    };
    auto frame = [&] {
      clock.tick();
      const auto t0 = Clock::now();
      ride.simulate();
      return seconds(t0, Clock::now());
    };
    double f, r;
    if (i % 2) f = frame(), r = reference();
    else r = reference(), f = frame();
    frames.push_back(f);
    references.push_back(r);
    ratios.push_back(f / r);
    if (i % 500 == 0) quiet.clear();
  }
  quiet.clear();
  std::printf(
      "1. simulation frame %.1f us, bare Step+ShiftOrigin %.1f us (medians), median of per-frame "
      "ratios %.3f (target <= 1.05), pinned world; bodies %d\n",
      1e6 * median(frames), 1e6 * median(references), median(ratios),
      ride.state.world->GetBodyCount());
}

// The honest limit for the picture: the same boxes and discs of the bodies in
// the window, every fill (discs included) in one vertex-array draw with
// per-vertex colour and every outline in another, without keeping any order.
struct Reference : BodyPainter {
  struct Vertex {
    float x, y, r, g, b;
  };
  std::vector<Vertex> fills, lines;
  std::vector<GLuint> indices;

  void disc(const b2Vec2& c, float radius, float red) {
    const auto base = static_cast<GLuint>(fills.size());
    fills.push_back({c.x * M2P, c.y * M2P, 1, 1, 1});
    for (int k = 0; k <= 30; ++k) {
      const float theta = k * 12 * 3.14159265f / 180;
      fills.push_back({M2P * (c.x + radius * std::cos(theta)),
                       M2P * (c.y + radius * std::sin(theta)), red, 0, 0});
    }
    for (GLuint k = 1; k <= 30; ++k) indices.insert(indices.end(), {base, base + k, base + k + 1});
  }

  void beginFrame() override {
    fills.clear();
    lines.clear();
    indices.clear();
  }

  void paint(b2Body* b) override {
    const b2Fixture* f = b->GetFixtureList();
    const b2Vec2 c = b->GetWorldCenter();
    if (c.x < -5 || c.x > WIDTH * P2M + 5 || c.y < -5 || c.y > HEIGHT * P2M + 5) return;
    if (f->GetType() == b2Shape::e_circle) {
      disc(c, 0.3f, 1);
      if (b->GetJointList()) disc(c, f->GetShape()->m_radius, 0.5f);
      return;
    }
    const auto* p = static_cast<const b2PolygonShape*>(f->GetShape());
    b2Vec2 v[4];
    for (int i = 0; i < 4; ++i) v[i] = M2P * b->GetWorldPoint(p->m_vertices[i]);
    const auto base = static_cast<GLuint>(fills.size());
    for (int i = 0; i < 4; ++i) fills.push_back({v[i].x, v[i].y, 0.2f, 0.2f, 0.2f});
    for (GLuint i : {0u, 1u, 2u, 0u, 2u, 3u}) indices.push_back(base + i);
    for (int i = 0; i < 4; ++i) {
      lines.push_back({v[i].x, v[i].y, 0.4f, 0.4f, 0.4f});
      lines.push_back({v[(i + 1) % 4].x, v[(i + 1) % 4].y, 0.4f, 0.4f, 0.4f});
    }
  }

  void endFrame() override {
    glClear(GL_COLOR_BUFFER_BIT);  // a frame of its own, as display's is
    glLoadIdentity();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(Vertex), &fills[0].x);
    glColorPointer(3, GL_FLOAT, sizeof(Vertex), &fills[0].r);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT,
                   indices.data());
    glLineWidth(3);
    glVertexPointer(2, GL_FLOAT, sizeof(Vertex), &lines[0].x);
    glColorPointer(3, GL_FLOAT, sizeof(Vertex), &lines[0].r);
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(lines.size()));
    glDisableClientState(GL_COLOR_ARRAY);
  }
};

// Draws each frame twice on the same bodies, timed apart: the renderer, then
// the reference; the step follows when playFrame returns.
struct TimedPainter : BodyPainter {
  const State& state;
  Renderer renderer;
  Reference& reference;
  Clock::time_point start, rendered, referenced;

  TimedPainter(const State& s, Reference& ref) : state(s), renderer(s), reference(ref) {}
  void beginFrame() override {
    glFinish();
    start = Clock::now();
    renderer.beginFrame();
  }
  void paint(b2Body* body) override { renderer.paint(body); }
  void endFrame() override {
    renderer.endFrame();
    glFinish();
    rendered = Clock::now();
    // After the walk's removals: the reference draws what is left.
    reference.beginFrame();
    for (b2Body* b = state.world->GetBodyList(); b; b = b->GetNext()) reference.paint(b);
    reference.endFrame();
    glFinish();
    referenced = Clock::now();
  }
};

// Frames per second of the whole unpaced frame (held keys, drawing, step,
// swap), in blocks that alternate with the same loop drawing the reference
// instead (the walk still removes and pushes): the frame rate this machine
// allows the picture, on the same stretch of the scene. Then the renderer
// against the reference, interleaved frame by frame so that both see the same
// bodies and the same load; medians of the frames.
void drawnScene(const char* name, State& state, const unsigned char* keys, int n, double fpsTarget,
                PinnedClock& clock, QuietConsole& quiet) {
  Reference reference;
  Renderer game(state);
  const int block = 50;
  double gameTime = 0, referenceTime = 0;
  for (int i = 0; i < n; i += block) {
    auto t0 = Clock::now();
    for (int j = 0; j < block; ++j) {
      clock.tick();
      SDL_PumpEvents();
      playFrame(state, keys, &game);
      SDL_GL_SwapBuffers();
    }
    auto t1 = Clock::now();
    for (int j = 0; j < block; ++j) {
      clock.tick();
      SDL_PumpEvents();
      playFrame(state, keys, &reference);
      SDL_GL_SwapBuffers();
    }
    auto t2 = Clock::now();
    gameTime += seconds(t0, t1);
    referenceTime += seconds(t1, t2);
    quiet.clear();
  }
  const int unpaced = (n + block - 1) / block * block;

  std::vector<double> rendererTimes, referenceTimes, stepTimes;
  b2Profile box2d = {};  // Box2D's own timings of its step, summed
  TimedPainter timed(state, reference);
  for (int i = 0; i < n; ++i) {
    clock.tick();
    playFrame(state, keys, &timed);
    auto t3 = Clock::now();
    const b2Profile& p = state.world->GetProfile();
    box2d.step += p.step;
    box2d.collide += p.collide;
    box2d.solve += p.solve;
    box2d.broadphase += p.broadphase;
    box2d.solveTOI += p.solveTOI;
    SDL_GL_SwapBuffers();
    rendererTimes.push_back(seconds(timed.start, timed.rendered));
    referenceTimes.push_back(seconds(timed.rendered, timed.referenced));
    stepTimes.push_back(seconds(timed.referenced, t3));
    if (i % 100 == 0) quiet.clear();
  }
  quiet.clear();
  int awake = 0;
  for (b2Body* b = state.world->GetBodyList(); b; b = b->GetNext()) awake += b->IsAwake();
  const double renderer = median(rendererTimes), limit = median(referenceTimes);
  std::printf(
      "   %s: %.0f frames/s (target >= %.0f; drawing the reference instead %.0f); renderer %.2f "
      "ms, batched reference %.2f ms, ratio %.2f (target <= 1.15); step %.2f ms; bodies %d, awake "
      "%d\n",
      name, unpaced / gameTime, fpsTarget, unpaced / referenceTime, 1e3 * renderer, 1e3 * limit,
      renderer / limit, 1e3 * median(stepTimes), state.world->GetBodyCount(), awake);
  // Box2D's solve includes its broad phase; what stepWorld adds before Step
  // (cable take-up, wheel springs) is the rest of the step's mean.
  double stepMean = 0;
  for (double t : stepTimes) stepMean += t;
  stepMean /= n;
  std::printf(
      "     step, mean %.2f ms: contacts %.2f, islands %.2f (broad phase %.2f of them), time of "
      "impact %.2f, ours before Step %.3f; %d contacts, %d joints\n",
      1e3 * stepMean, box2d.collide / n, (box2d.solve - box2d.broadphase) / n, box2d.broadphase / n,
      box2d.solveTOI / n, 1e3 * stepMean - box2d.step / n, state.world->GetContactCount(),
      state.world->GetJointCount());
  std::fflush(stdout);
}

// The program's own window, with its projection under a fixed sky.
bool openBenchWindow(int argc, char** argv, const char* section) {
  if (!openWindow()) {
    std::fprintf(stderr, "%s skipped: no OpenGL window\n", section);
    return false;
  }
  initText(argc, argv);
  usePixelProjection();
  glClearColor(0.3f, 0.5f, 0.8f, 1);
  return true;
}

// A clock pinned to the same first second for every scene, and the same
// sequence for the draws that do not reseed.
PinnedClock& pinnedScene(std::unique_ptr<PinnedClock>& clock) {
  clock.reset();
  clock = std::make_unique<PinnedClock>(kFirstSecond);
  std::srand(static_cast<unsigned>(kFirstSecond));
  return *clock;
}

// A thousand plain cars dropped over the window, left to settle.
void settledCars(State& state, PinnedClock& clock, QuietConsole& quiet) {
  drawSkyColourSetGravity(state);
  createWorld(state);
  buildFirstScene(state);
  for (int i = 0; i < 1000; ++i) makeCar(state, 30 + (i % 30) * 42, 900 - (i / 30) * 46);
  const unsigned char keys[key::COUNT] = {};
  for (int i = 0; i < 600; ++i) {
    clock.tick();
    playFrame(state, keys);
    if (i % 100 == 0) quiet.clear();
  }
}

bool drawnFrames(int argc, char** argv) {
  if (!openBenchWindow(argc, argv, "2.")) return false;
  std::printf("2. drawn frames (clock pinned; medians of interleaved frames):\n");
  {
    // What every frame costs before anything is drawn or stepped.
    const int n = 500;
    std::vector<double> clears;
    const auto start = Clock::now();
    for (int i = 0; i < n; ++i) {
      const auto t0 = Clock::now();
      glClear(GL_COLOR_BUFFER_BIT);
      glFinish();
      clears.push_back(seconds(t0, Clock::now()));
      SDL_GL_SwapBuffers();
    }
    std::printf(
        "   empty frame (clear, finish, swap): %.0f frames/s; clear and finish alone %.2f ms\n",
        n / seconds(start, Clock::now()), 1e3 * median(clears));
  }

  QuietConsole quiet;
  std::unique_ptr<PinnedClock> pinned;
  {
    PinnedClock& clock = pinnedScene(pinned);
    Ride ride;
    for (int i = 0; i < 3000; ++i) {
      clock.tick();
      ride.simulate();
      if (i % 100 == 0) quiet.clear();
    }
    drawnScene("scrolling ride after 3000 frames", ride.state, ride.keys, 1000, 500, clock, quiet);
  }

  {
    PinnedClock& clock = pinnedScene(pinned);
    State state;
    settledCars(state, clock, quiet);
    const unsigned char keys[key::COUNT] = {};
    drawnScene("1000 cars after 600 frames", state, keys, 300, 150, clock, quiet);
  }
  pinned.reset();
  SDL_Quit();
  return true;
}

// F4 over the thousand cars: the loop as main runs it (frame, overlays, swap,
// pacer), in blocks of 100 frames that alternate the view on and off, paced
// and then unpaced; and the overlay's own drawing, finished, per frame.
bool physicsViewFrames(int argc, char** argv) {
  if (!openBenchWindow(argc, argv, "7.")) return false;
  QuietConsole quiet;
  std::unique_ptr<PinnedClock> pinned;
  PinnedClock& clock = pinnedScene(pinned);
  State state;
  settledCars(state, clock, quiet);
  const unsigned char keys[key::COUNT] = {};
  Renderer renderer(state);
  Overlays overlays;
  std::vector<double> viewTimes;
  double cpu[2] = {
      0, 0};  // the unpaced frames' process CPU (llvmpipe's threads too), without and with
  // The view alone is timed in frames of its own: the finish before it would
  // charge the frames with F4 a second pass over the window's tiles.
  auto loop = [&](int frames, bool paced, bool viewAlone = false) {
    double time[2] = {0, 0};
    FramePacer pacer;
    for (int i = 0; i < frames; ++i) {
      overlays.physics = viewAlone || (i / 100) % 2 == 1;
      const std::clock_t c0 = std::clock();
      const auto t0 = Clock::now();
      clock.tick();
      SDL_PumpEvents();
      playFrame(state, keys, &renderer);
      if (viewAlone) {
        glFinish();
        const auto v0 = Clock::now();
        drawOverlays(state, overlays);
        glFinish();
        viewTimes.push_back(seconds(v0, Clock::now()));
      } else {
        drawOverlays(state, overlays);
      }
      SDL_GL_SwapBuffers();
      if (paced) pacer.wait();
      time[overlays.physics] += seconds(t0, Clock::now());
      if (!paced && !viewAlone)
        cpu[overlays.physics] += static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
      if (i % 100 == 0) quiet.clear();
    }
    return std::make_pair(frames / 2 / time[0], frames / 2 / time[1]);
  };
  const auto paced = loop(1200, true);
  const auto unpaced = loop(600, false);
  loop(100, false, true);
  std::printf(
      "6. 1000 cars, F4's physics view: paced %.1f frames/s with it, %.1f without (cap 60); "
      "unpaced %.0f with, %.0f without; the view alone %.2f ms a frame; bodies %d, contacts %d\n",
      paced.second, paced.first, unpaced.second, unpaced.first, 1e3 * median(viewTimes),
      state.world->GetBodyCount(), state.world->GetContactCount());
  std::printf(
      "   unpaced CPU a frame: %.2f ms with F4, %.2f ms without, ratio %.2f (target <= 1.4)\n",
      1e3 * cpu[1] / 300, 1e3 * cpu[0] / 300, cpu[1] / cpu[0]);
  pinned.reset();
  SDL_Quit();
  return true;
}

// Body counts swing with the landscape, so each mark reports the mean over the
// 5,000 frames before it; 216,000 frames are one hour at 60 frames per second.
void longRide(float gravity) {
  QuietConsole quiet;
  // Ticks one second per 60 frames, as a paced run's clock does; a free-running
  // ride would stay within a few seconds and repeat them.
  PinnedClock clock(kFirstSecond);
  Ride ride(gravity);
  int frame = 0;
  std::printf(
      "3. long ride, gravity %.2f, clock +1 s per 60 frames (bodies and frame time: mean of the "
      "last 5000 frames;\n"
      "   terrain columns live from x = 200 px + cursor to the left edge, so their number\n"
      "   grows with the cursor's 0.001 px per frame; the rest is debris, cars and the ship):\n",
      gravity);
  for (int mark : {30000, 60000, 216000}) {
    double columns = 0, others = 0, time = 0;
    int counted = 0;
    for (; frame < mark; ++frame) {
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
      if (frame % 1000 == 0) quiet.clear();
      clock.tick();
    }
    quiet.clear();
    std::printf(
        "   after %6d frames: %7.1f bodies (%6.1f columns, cursor %.0f px; %6.1f others), "
        "%5.1f MiB resident, %4.0f us per simulated frame\n",
        mark, (columns + others) / counted, columns / counted, ride.state.bordGaucheEcran,
        others / counted, residentMiB(), 1e6 * time / counted);
    std::fflush(stdout);
  }
}

// The frame loop as main runs it, in a real window: first unpaced, the frames per
// second the machine could give (the headroom over 60), then paced.
bool pacedFrames(int argc, char** argv) {
  if (!openBenchWindow(argc, argv, "4.")) return false;

  QuietConsole quiet;
  Ride ride;
  Renderer renderer(ride.state);
  for (int i = 0; i < 3000; ++i) ride.simulate();
  quiet.clear();

  auto loop = [&](int frames, bool paced) {
    FramePacer pacer;
    const auto start = Clock::now();
    for (int i = 0; i < frames; ++i) {
      SDL_PumpEvents();
      playFrame(ride.state, ride.keys, &renderer);
      SDL_GL_SwapBuffers();
      if (paced) pacer.wait();
    }
    quiet.clear();
    return frames / seconds(start, Clock::now());
  };
  const double unpaced = loop(600, false);
  const double paced = loop(600, true);
  std::printf(
      "4. frame loop while scrolling: paced %.1f frames/s (cap 60); unpaced %.0f frames/s, "
      "headroom %.1f x 60; bodies %d\n",
      paced, unpaced, unpaced / 60, ride.state.world->GetBodyCount());
  SDL_Quit();
  return true;
}

// The whole unpaced frame (events pumped, keys, drawing, step, swap) over n
// frames, with C pressed at (x, y) every 6th frame when x >= 0: ten presses a
// second at 60 frames/s. Also the process's CPU time per frame, llvmpipe's
// threads included: what a frame costs a machine whose cores are busy.
struct Rate {
  double fps, cpuMs;
};
Rate unpacedRate(State& state, int n, int x, int y, PinnedClock& clock, QuietConsole& quiet) {
  const unsigned char keys[key::COUNT] = {};
  Renderer renderer(state);
  const std::clock_t cpu0 = std::clock();
  const auto t0 = Clock::now();
  for (int i = 0; i < n; ++i) {
    clock.tick();
    SDL_PumpEvents();
    if (x >= 0 && i % 6 == 0) onKeyPress(state, key::C, x, y);
    playFrame(state, keys, &renderer);
    SDL_GL_SwapBuffers();
    if (i % 100 == 0) quiet.clear();
  }
  const double wall = seconds(t0, Clock::now());
  return {n / wall, 1e3 * static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC / n};
}

// Frames per second against the number of plain cars, made one every 6 frames
// at one spot (each inside the pile before it) or spread over the window, and
// measured over the 300 frames after the last. Then C itself, ten times a
// second at one spot for three minutes of frames, where the limit holds the pile.
bool plainCarPiles(int argc, char** argv) {
  if (!openBenchWindow(argc, argv, "5.")) return false;
  std::printf(
      "5. plain cars, made one every 6 frames (unpaced frames/s and CPU ms per frame over the next "
      "300 frames):\n");
  QuietConsole quiet;
  std::unique_ptr<PinnedClock> pinned;
  auto scene = [&](State& state) -> PinnedClock& {
    PinnedClock& clock = pinnedScene(pinned);
    drawSkyColourSetGravity(state);
    createWorld(state);
    buildFirstScene(state);
    return clock;
  };
  const unsigned char keys[key::COUNT] = {};
  for (int n : {10, 20, 30, 40, 60, 80, 120}) {
    Rate rates[2];
    int bodies[2];
    for (int spread = 0; spread < 2; ++spread) {
      State state;
      PinnedClock& clock = scene(state);
      for (int i = 0; i < n; ++i) {
        if (spread) makeCar(state, 60 + (i % 20) * 60, 300 + (i / 20) * 100);
        else makeCar(state, 640, 470);
        for (int f = 0; f < 6; ++f) clock.tick(), playFrame(state, keys);
        quiet.clear();
      }
      rates[spread] = unpacedRate(state, 300, -1, -1, clock, quiet);
      bodies[spread] = state.world->GetBodyCount();
    }
    std::printf(
        "   %3d cars: at one spot %4.0f frames/s, %5.2f ms CPU (%d bodies); spread %4.0f frames/s, "
        "%5.2f ms CPU (%d bodies)\n",
        n, rates[0].fps, rates[0].cpuMs, bodies[0], rates[1].fps, rates[1].cpuMs, bodies[1]);
    std::fflush(stdout);
  }
  State state;
  PinnedClock& clock = scene(state);
  for (int i = 0; i < 10800 - 300; ++i) {
    clock.tick();
    if (i % 6 == 0) onKeyPress(state, key::C, 640, 470);
    playFrame(state, keys);
    if (i % 100 == 0) quiet.clear();
  }
  const Rate atLimit = unpacedRate(state, 300, 640, 470, clock, quiet);
  std::printf(
      "   C ten times a second at one spot, frames 10500 to 10800 (limit %d): %.0f frames/s, %.2f "
      "ms CPU; %zu plain cars, %d bodies\n",
      kPlainCarLimit, atLimit.fps, atLimit.cpuMs, state.plainCars.size(),
      state.world->GetBodyCount());
  std::fflush(stdout);
  pinned.reset();
  SDL_Quit();
  return true;
}

// The thousand cars of section 2 seen through the camera zoomed all the way
// out, so that every body of the world is drawn, with the game's window framed
// over them: the loop as main runs it, paced and unpaced, and unpaced at the
// game's own view on the same frames.
bool zoomedOutCars(int argc, char** argv) {
  if (!openBenchWindow(argc, argv, "7.")) return false;
  QuietConsole quiet;
  std::unique_ptr<PinnedClock> pinned;
  PinnedClock& clock = pinnedScene(pinned);
  State state;
  settledCars(state, clock, quiet);
  const unsigned char keys[key::COUNT] = {};
  Camera zoomedOut;
  zoomedOut.zoomAbout(-20, {WIDTH / 2.0, HEIGHT / 2.0});
  const Overlays overlays;
  int drawn = 0, bodies = 0;
  double cpuMs = 0;  // the process's, llvmpipe's threads included, per frame
  auto loop = [&](const Camera& camera, int frames, bool paced) {
    useCameraProjection(camera);
    Renderer renderer(state);
    renderer.setVisibleArea(camera.visible());
    FramePacer pacer;
    const std::clock_t cpu0 = std::clock();
    const auto start = Clock::now();
    for (int i = 0; i < frames; ++i) {
      clock.tick();
      SDL_PumpEvents();
      playFrame(state, keys, &renderer);
      drawOverlays(state, overlays, camera);
      SDL_GL_SwapBuffers();
      if (paced) pacer.wait();
      if (i % 100 == 0) quiet.clear();
    }
    const double rate = frames / seconds(start, Clock::now());
    cpuMs = 1e3 * static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC / frames;
    const PictureRect v = camera.visible();
    drawn = 0;
    bodies = state.world->GetBodyCount();
    for (b2Body* b = state.world->GetBodyList(); b; b = b->GetNext()) {
      const b2Vec2 p = M2P * b->GetPosition();
      drawn += p.x >= v.left && p.x <= v.right && p.y >= v.top && p.y <= v.bottom;
    }
    return rate;
  };
  const double unpaced = loop(zoomedOut, 300, false);
  const double unpacedCpu = cpuMs;
  const double paced = loop(zoomedOut, 600, true);
  const int inView = drawn, all = bodies;
  const double ownView = loop(Camera(), 300, false);
  std::printf(
      "7. 1000 cars zoomed out to 1/%.0f (%d of %d bodies in view): paced %.1f frames/s (target "
      "60); unpaced %.0f frames/s, %.2f ms CPU a frame; at the game's own view %.0f frames/s, %.2f "
      "ms CPU (%d of %d in view)\n",
      1 / zoomedOut.scale(), inView, all, paced, unpaced, unpacedCpu, ownView, cpuMs, drawn,
      bodies);
  std::fflush(stdout);
  pinned.reset();
  SDL_Quit();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool framesOnly = argc > 1 && std::strcmp(argv[1], "--frames-only") == 0;
  const bool carsOnly = argc > 1 && std::strcmp(argv[1], "--cars-only") == 0;
  if (carsOnly) return plainCarPiles(argc, argv) ? 0 : 1;
  if (argc > 1 && std::strcmp(argv[1], "--physics-view-only") == 0)
    return physicsViewFrames(argc, argv) ? 0 : 1;
  if (argc > 1 && std::strcmp(argv[1], "--camera-only") == 0)
    return zoomedOutCars(argc, argv) ? 0 : 1;
  if (argc > 1 && std::strcmp(argv[1], "--ride-only") == 0) {
    simulationRatio();
    return drawnFrames(argc, argv) ? 0 : 1;
  }
  // The long rides first, so that their memory is the simulation's alone.
  if (!framesOnly)
    for (float gravity : {9.81f, 2.07f}) longRide(gravity);
  simulationRatio();
  drawnFrames(argc, argv);
  pacedFrames(argc, argv);
  plainCarPiles(argc, argv);
  physicsViewFrames(argc, argv);
  zoomedOutCars(argc, argv);
  return 0;
}
