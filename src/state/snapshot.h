#pragma once
// A moment of the game, whole: Box2D's memory region (every body, joint,
// contact and the world itself: base/region.h), the state's own
// fields, the C library's random generator and the moment F5 had kept then.
// Restoring one makes the next frames step exactly as they stepped after it
// was taken.

#include <memory>
#include <vector>

#include "base/random.h"
#include "state/state.h"

struct Snapshot {
  std::vector<unsigned char> region;
  StateFields fields;
  RandomState random;
  // Shared, not copied: a later F9 reads it, so going back must bring it back.
  std::shared_ptr<const Snapshot> keptMoment;
  b2World* world = nullptr;
  const State* owner = nullptr;  // the listeners the world points at are this state's
};

// Into `into`, reusing its buffers.
void takeSnapshot(const State& state, Snapshot& into);
Snapshot takeSnapshot(const State& state);

// Sound only while the region holds this state's world alone and the
// snapshot was taken of this state; otherwise throws std::logic_error. F3's
// figures start again from the moment restored.
void restoreSnapshot(State& state, const Snapshot& snapshot);
