#include "game/moments.h"

#include <memory>

#include "state/snapshot.h"
#include "state/state.h"

void keepMoment(State& state) {
  state.keptMoment = std::make_shared<Snapshot>(takeSnapshot(state));
}

void returnToKeptMoment(State& state) {
  if (state.keptMoment) restoreSnapshot(state, *state.keptMoment);
}
