#include "game/time_flow.h"

#include "state/state.h"

namespace {

void setSpeed(State& state, int shift) {
  state.speedShift = b2Clamp(shift, kSlowestShift, kFastestShift);
  state.slowFrames = 0;
  if (state.speedShift >= 0) state.posesBeforeStep.clear();
}

}  // namespace

void togglePause(State& state) {
  state.paused = !state.paused;
  state.framesToStep = 0;
}

void playOneFrame(State& state) {
  if (state.paused) ++state.framesToStep;
}

void slowDown(State& state) { setSpeed(state, state.speedShift - 1); }
void speedUp(State& state) { setSpeed(state, state.speedShift + 1); }
