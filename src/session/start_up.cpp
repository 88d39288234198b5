#include "session/start_up.h"

#include "game/world_setup.h"
#include "state/state.h"

SkyColour startUpWithoutWindow(State& state) {
  drawLandscapeSeed(state);
  const SkyColour sky = drawSkyColourSetGravity(state);
  createWorld(state);
  buildFirstScene(state);
  announceLandscapeSeed(state);
  state.running = true;
  return sky;
}
