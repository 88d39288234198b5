#include "session/start_up.h"

#include "game/world_setup.h"
#include "state/state.h"

void startUpWithoutWindow(State& state) {
  drawLandscapeSeed(state);
  drawSkyColourSetGravity(state);
  createWorld(state);
  buildFirstScene(state);
  announceLandscapeSeed(state);
  state.running = true;
}
