#include "game/frame.h"

#include "bodies/cable.h"
#include "bodies/suspension.h"
#include "game/body_walk.h"
#include "game/controls.h"
#include "game/mouse_drag.h"
#include "state/state.h"

namespace {

// The frame's first step. While time is stopped and no frame is owed, paints
// the bodies as they are, with none of the walk's pushes or removals, and says
// the frame is done; otherwise takes the owed frame and says to play it.
bool holdStoppedFrame(State& state, BodyPainter* painter) {
  if (!state.paused) return false;
  if (state.framesToStep > 0) {
    --state.framesToStep;
    return false;
  }
  // A push here would pile up and fire at the restart; a removal or a random
  // draw would change what the restarted world does.
  if (painter) paintBodies(state, *painter);
  return true;
}

}  // namespace

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

void togglePause(State& state) {
  state.paused = !state.paused;
  state.framesToStep = 0;
}

void playOneFrame(State& state) {
  if (state.paused) ++state.framesToStep;
}

void stepWorld(State& state) {
  // After the controls and the walk's removals: the handles read here are current.
  takeUpCable(state);
  updateSuspensions(*state.world);
  stepSolver(*state.world);
}

void stepSolver(b2World& world, float seconds) { world.Step(seconds, 8, 3); }
