#include "game/frame.h"

#include "game/body_walk.h"
#include "game/controls.h"
#include "game/mouse_drag.h"
#include "game/pause.h"
#include "game/world_step.h"
#include "state/state.h"

void playFrame(State& state, const unsigned char* keys, BodyPainter* painter) {
  if (holdStoppedFrame(state, painter)) {
    state.plainCarMadeThisFrame = false;  // a stopped frame ends its key presses too
    return;
  }
  applyHeldKeys(state, keys);
  holdGrab(state);
  walkBodies(state, painter);
  stepWorld(state);
}
