#include "state/snapshot.h"

#include <stdexcept>

#include "base/region.h"

void takeSnapshot(const State& state, Snapshot& into) {
  if (region::worlds() != 1)
    throw std::logic_error("a snapshot needs the region to hold one world");
  region::copyOut(into.region);
  into.fields = state;
  into.random = saveRandomState();
  into.keptMoment = state.keptMoment;
  into.world = state.world.get();
  into.owner = &state;
}

Snapshot takeSnapshot(const State& state) {
  Snapshot snapshot;
  takeSnapshot(state, snapshot);
  return snapshot;
}

void restoreSnapshot(State& state, const Snapshot& snapshot) {
  if (snapshot.owner != &state || region::worlds() != 1)
    throw std::logic_error("a snapshot restores only into its own state, while its world is alone");
  // The world in place now is overwritten, not destroyed: all of its memory is
  // the region's, which the copy gives back as it was.
  (void)state.world.release();
  region::copyIn(snapshot.region);
  static_cast<StateFields&>(state) = snapshot.fields;
  restoreRandomState(snapshot.random);
  state.keptMoment = snapshot.keptMoment;
  state.world.reset(snapshot.world);
  state.frameTimes.restart();
}
