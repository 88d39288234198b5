#include "game/time_flow.h"

#include <box2d/box2d.h>

namespace {

void setSpeed(TimePart& time, int shift) {
  time.speedShift = b2Clamp(shift, kSlowestShift, kFastestShift);
  time.slowFrames = 0;
  if (time.speedShift >= 0) time.posesBeforeStep.clear();
}

}  // namespace

void togglePause(TimePart& time) {
  time.paused = !time.paused;
  time.framesToStep = 0;
}

void playOneFrame(TimePart& time) {
  if (time.paused) ++time.framesToStep;
}

void slowDown(TimePart& time) { setSpeed(time, time.speedShift - 1); }
void speedUp(TimePart& time) { setSpeed(time, time.speedShift + 1); }
