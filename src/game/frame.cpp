#include "game/frame.h"

#include "bodies/cable.h"
#include "bodies/suspension.h"
#include "game/body_walk.h"
#include "game/controls.h"
#include "game/mouse_drag.h"
#include "state/state.h"

namespace {

enum class Stopped { no, owed, yes };

// While time is stopped: whether O owes a frame (taken now).
Stopped stoppedTime(State& state) {
  if (!state.paused) return Stopped::no;
  if (state.framesToStep > 0) {
    --state.framesToStep;
    return Stopped::owed;
  }
  return Stopped::yes;
}

// A frame that only draws: a push here would pile up and fire at the
// restart; a removal or a random draw would change what the world does next.
void drawOnly(State& state, BodyPainter* painter) {
  state.plainCarMadeThisFrame = false;  // the frame's key presses are over all the same
  paintBodies(state, painter);
}

void keepPoses(State& state) {
  state.posesBeforeStep.clear();
  for (const b2Body* b = state.world->GetBodyList(); b; b = b->GetNext())
    state.posesBeforeStep[b] = {b->GetPosition(), b->GetWorldCenter(), b->GetAngle()};
}

void playGameFrame(State& state, const unsigned char* keys, BodyPainter* painter) {
  applyHeldKeys(state, keys);
  holdGrab(state);
  walkBodies(state, painter);
  if (state.speedShift < 0) keepPoses(state);
  stepWorld(state);
}

}  // namespace

void playFrame(State& state, const unsigned char* keys, BodyPainter* painter) {
  const Stopped stopped = stoppedTime(state);
  if (stopped == Stopped::yes) return drawOnly(state, painter);
  if (stopped == Stopped::owed) return playGameFrame(state, keys, painter);  // O: one step

  if (state.speedShift < 0) {
    const int period = 1 << -state.speedShift;
    const int between = state.slowFrames;
    state.slowFrames = (between + 1) % period;
    if (between > 0) {
      state.blend = static_cast<float>(between) / static_cast<float>(period);
      drawOnly(state, painter);
      state.blend = 1;
      return;
    }
  }
  const int frames = state.speedShift > 0 ? 1 << state.speedShift : 1;
  for (int i = 1; i < frames; ++i) playGameFrame(state, keys, nullptr);
  playGameFrame(state, keys, painter);  // the picture shows the last
}

void stepWorld(State& state) {
  const double started = state.frameTimes.now();
  // After the controls and the walk's removals: the handles read here are current.
  takeUpCable(state);
  updateSuspensions(*state.world);
  stepSolver(*state.world);
  state.frameTimes.stepped(started);
}

void stepSolver(b2World& world, float seconds) { world.Step(seconds, 8, 3); }
