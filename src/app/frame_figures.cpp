#include "app/frame_figures.h"

#include "render/overlays.h"
#include "state/state.h"

void FrameFigures::start(const Overlays& overlays) {
  if (!overlays.figures) {
    measuring_ = false;
    return;
  }
  if (!measuring_) meter_.restart();  // frames while hidden went unmeasured
  measuring_ = true;
  started_ = std::chrono::steady_clock::now();
}

void FrameFigures::end(Overlays& overlays, const State& state) {
  if (!measuring_) return;
  const auto now = std::chrono::steady_clock::now();
  const double frameMs = std::chrono::duration<double, std::milli>(now - started_).count();
  // While time stands still the profile still holds the last step's times.
  const double stepMs = state.paused ? -1 : state.world->GetProfile().step;
  const double seconds = std::chrono::duration<double>(now.time_since_epoch()).count();
  if (meter_.frame(*state.world, seconds, frameMs, stepMs)) overlays.measured = meter_.figures();
}
