#include "app/world_step.h"

#include "app/state.h"
#include "bodies/cable.h"
#include "bodies/suspension.h"

void stepWorld(State& state) {
  // After the controls and the renderer's removals: the handles read here are current.
  takeUpCable(state);
  updateSuspensions(*state.world);
  state.world->Step(0.05f, 8, 3);
}
