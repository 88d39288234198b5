#include "app/init.h"

#include <GL/gl.h>

#include "game/world_setup.h"
#include "render/projection.h"
#include "state/state.h"

void init(State& state) {
  usePixelProjection();
  const SkyColour sky = drawSkyColourSetGravity(state);
  glClearColor(sky.r, sky.g, sky.b, 1);

  createWorld(state);
  buildFirstScene(state);
}
