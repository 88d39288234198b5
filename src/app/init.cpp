#include "app/init.h"

#include <GL/gl.h>

#include "app/state.h"
#include "app/world_setup.h"

void init(State& state) {
  // OpenGL units become window pixels, y downward.
  glMatrixMode(GL_PROJECTION);
  glOrtho(0, WIDTH, HEIGHT, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);

  const SkyColour sky = drawSkyColour(state);
  glClearColor(sky.r, sky.g, sky.b, 1);

  createWorld(state);
  buildFirstScene(state);
}
