#include "game/frame.h"

#include "game/body_walk.h"
#include "game/controls.h"
#include "game/world_step.h"

void playFrame(State& state, const unsigned char* keys, BodyPainter* painter) {
  applyHeldKeys(state, keys);
  walkBodies(state, painter);
  stepWorld(state);
}
