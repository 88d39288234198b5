#include "game/pause.h"

#include "game/body_walk.h"
#include "state/state.h"

void togglePause(State& state) {
  state.paused = !state.paused;
  state.framesToStep = 0;
}

void playOneFrame(State& state) {
  if (state.paused) ++state.framesToStep;
}

bool holdStoppedFrame(State& state, BodyPainter* painter) {
  if (!state.paused) return false;
  if (state.framesToStep > 0) {
    --state.framesToStep;
    return false;
  }
  // A push here would pile up and fire at the restart; a removal or a random
  // draw would change what the restarted world does.
  if (!painter) return true;
  painter->beginFrame();
  for (b2Body* body = state.world->GetBodyList(); body; body = body->GetNext())
    painter->paint(body);
  painter->endFrame();
  return true;
}
