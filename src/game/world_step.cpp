#include "game/world_step.h"

#include "bodies/cable.h"
#include "bodies/suspension.h"
#include "state/state.h"

void stepWorld(State& state) {
  // After the controls and the walk's removals: the handles read here are current.
  takeUpCable(state);
  updateSuspensions(*state.world);
  stepSolver(*state.world);
}

void stepSolver(b2World& world, float seconds) { world.Step(seconds, 8, 3); }
