#include "session/replay_steering.h"

void ReplaySteering::toggleStop() {
  stopped_ = !stopped_;
  owed_ = 0;
}

void ReplaySteering::stepOne() {
  if (stopped_) ++owed_;
}

bool ReplaySteering::playsAFrame() {
  if (!stopped_) return true;
  if (owed_ == 0) return false;
  --owed_;
  return true;
}
