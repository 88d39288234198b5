#pragma once
// What must hold after every frame, whatever the input: no handle on a dead
// body or joint, finite positions and velocities, nothing left beyond the far
// limits that the walk's own rule removes, and console lines of known forms
// only. A painter of the frame, so that the removal rule is checked around the walk.

#include <string>
#include <vector>

#include "game/body_walk.h"

struct State;

class Invariants : public BodyPainter {
 public:
  explicit Invariants(const State& state) : state_(state) {}

  void beginFrame() override;
  void paint(b2Body*) override {}
  void endFrame() override;
  // Whether the coming frame walks the bodies: not while going back in time,
  // where it only shows an earlier moment.
  void expectWalk(bool walks) { walks_ = walks; }

  // After the frame, with the console lines it printed: what failed, or empty.
  std::string check(const std::vector<std::string>& consoleLines);

 private:
  const State& state_;
  std::vector<const b2Body*> far_;  // what the removal rule removed before the walk
  std::string walkFault_;
  bool walks_ = true;
};

bool knownConsoleLine(const std::string& line);
