#include "app/world_step.h"

#include "app/state.h"

void stepWorld(State& state) { state.world->Step(0.05f, 8, 3); }
