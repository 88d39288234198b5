#include "app/frame.h"

#include "app/controls.h"
#include "app/world_step.h"
#include "render/renderer.h"

void runFrame(State& state, const unsigned char* keys) {
  applyHeldKeys(state, keys);
  display(state);
  stepWorld(state);
}
