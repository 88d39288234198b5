#include "session/replay_steering.h"

#include <algorithm>

#include "game/time_flow.h"

void ReplaySteering::toggleStop() {
  stopped_ = !stopped_;
  owed_ = 0;
}

void ReplaySteering::stepOne() {
  if (stopped_) ++owed_;
}

void ReplaySteering::slower() { shift_ = std::max(shift_ - 1, kSlowestShift); }

void ReplaySteering::faster() { shift_ = std::min(shift_ + 1, kFastestShift); }

int ReplaySteering::framesThisPicture() {
  if (stopped_) {
    if (owed_ == 0) return 0;
    --owed_;
    return 1;
  }
  if (shift_ >= 0) return 1 << shift_;
  if (++pictures_ < (1 << -shift_)) return 0;
  pictures_ = 0;
  return 1;
}
