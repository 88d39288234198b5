#pragma once
// The figures of F3's panel: what the world holds, read from the world itself,
// and how long its frames take, by one replaceable clock. They only describe;
// nothing here reaches the simulation.

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "state/frame_times.h"

class b2World;

struct WorldCounts {
  int bodies = 0, awake = 0;
  int moving = 0, movingAwake = 0;  // dynamic bodies
  int ground = 0;                   // static: the terrain's columns and the floor
  int contacts = 0;                 // touching, not merely overlapping boxes
  int joints = 0;
};

WorldCounts countWorld(const b2World& world);

struct Figures {
  WorldCounts counts;
  // Averages over the last second. The step: each frame's steps together
  // (every step the picture played, eight at x8), over the frames that
  // stepped; the drawing: the rest of each frame's work. Negative while there
  // is nothing to average; the step reads so on every frame that does not
  // step (stopped time, slow motion between two steps).
  double stepMs = -1, drawMs = -1;
  double framesPerSecond = -1;
  // Not the speed of time ([ and ]): its own mark in the top-right corner shows it.
};

// The panel's lines: "moving    12 awake / 40", "ground    1280", "step      2.98 ms", ...; a
// figure with nothing to average reads "-".
std::vector<std::string> figureLines(const Figures& figures);

// The running program's clock for the figures.
double steadyMilliseconds();

// Takes each frame's times and refreshes the figures a few times a second.
class FigureMeter {
 public:
  static constexpr double kWindow = 1.0;    // seconds averaged over
  static constexpr double kRefresh = 0.25;  // seconds between refreshes

  explicit FigureMeter(MillisecondClock clock = steadyMilliseconds) : clock_(std::move(clock)) {}

  // Forgets what it measured: the frames before the panel was shown are no
  // sample of how the game runs now.
  void restart();
  // Before the frame's events reach the game: until endFrame the game's steps
  // add their times to `times`, by this meter's clock.
  void beginFrame(FrameTimes& times) const { times.begin(clock_); }
  // After the frame's drawing: the frame's sample, and no clock in `times`
  // until the next beginFrame. A restore or a new world during the frame
  // (Backspace, F9, N, a resume) restarts the figures from there: nothing
  // measured of the world before shows.
  void endFrame(FrameTimes& times, const b2World& world);
  // A frame whose work took frameMs and ended at `now` (seconds); stepMs is
  // its steps' time, or negative when the world did not step. Says whether
  // the figures were refreshed.
  bool frame(const b2World& world, double now, double frameMs, double stepMs);
  const Figures& figures() const { return figures_; }

 private:
  struct Sample {
    double end, drawMs, stepMs;
  };
  void refresh(const b2World& world, double now);

  MillisecondClock clock_;
  std::deque<Sample> samples_;
  Figures figures_;
  double stepAverage_ = -1;  // of the frames that stepped, at the last refresh
  double refreshed_ = 0;
  bool started_ = false;
};
