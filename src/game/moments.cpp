#include "game/moments.h"

#include <memory>
#include <utility>

#include "state/snapshot.h"
#include "state/state.h"

void keepMoment(State& state) {
  auto moment = std::make_shared<Snapshot>(takeSnapshot(state));
  // It does not hold the moment kept before it: each F5 would keep all the earlier ones alive.
  moment->keptMoment.reset();
  state.keptMoment = std::move(moment);
}

void returnToKeptMoment(State& state) {
  if (!state.keptMoment) return;
  // The moment stays kept: F9 returns to it again.
  const std::shared_ptr<const Snapshot> moment = state.keptMoment;
  restoreSnapshot(state, *moment);
  state.keptMoment = moment;
}
