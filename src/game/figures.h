#pragma once
// The figures of F3's panel: what the world holds, read from the world itself,
// and how long its frames take, measured by Box2D's profile and the frame's
// own clock. They only describe; nothing here reaches the simulation.

#include <deque>
#include <string>
#include <vector>

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
  // Averages over the last second; negative while there is nothing to average
  // (no step while time stands still).
  double stepMs = -1, drawMs = -1;
  double framesPerSecond = -1;
  // Not the speed of time ([ and ]): its own mark in the top-right corner shows it.
};

// The panel's lines: "moving    12 awake / 40", "ground    1280", "step      2.98 ms", ...; a
// figure with nothing to average reads "-".
std::vector<std::string> figureLines(const Figures& figures);

// Takes each frame's times and refreshes the figures a few times a second.
class FigureMeter {
 public:
  static constexpr double kWindow = 1.0;    // seconds averaged over
  static constexpr double kRefresh = 0.25;  // seconds between refreshes

  // Forgets what it measured: the frames before the panel was shown are no
  // sample of how the game runs now.
  void restart();
  // A frame whose work took frameMs by the frame's clock and ended at `now`
  // (seconds); stepMs is its step by Box2D's profile, or negative when the
  // world did not step. Says whether the figures were refreshed.
  bool frame(const b2World& world, double now, double frameMs, double stepMs);
  const Figures& figures() const { return figures_; }

 private:
  struct Sample {
    double end, drawMs, stepMs;
  };
  std::deque<Sample> samples_;
  Figures figures_;
  double refreshed_ = 0;
  bool started_ = false;
};
