#include "app/frame_figures.h"

#include "render/overlays.h"
#include "state/state.h"

void FrameFigures::start(const Overlays& overlays, State& state) {
  if (!overlays.figures) {
    measuring_ = false;
    return;
  }
  if (!measuring_) meter_.restart();  // frames while hidden went unmeasured
  measuring_ = true;
  meter_.beginFrame(state.frameTimes);
}

void FrameFigures::end(Overlays& overlays, State& state) {
  if (!measuring_) return;
  meter_.endFrame(state.frameTimes, *state.world);
  overlays.measured = meter_.figures();
}
