#include "app/init.h"

#include <GL/gl.h>

#include "game/world_setup.h"
#include "render/projection.h"
#include "state/state.h"

void init(State& state) {
  initView(drawSkyColourSetGravity(state));
  createWorld(state);
  buildFirstScene(state);
}

void initView(const SkyColour& sky) {
  usePixelProjection();
  glClearColor(sky.r, sky.g, sky.b, 1);
}
