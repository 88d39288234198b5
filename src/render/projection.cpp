#include "render/projection.h"

#include <GL/gl.h>

#include "base/units.h"
#include "render/camera.h"

void usePixelProjection() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, WIDTH, HEIGHT, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void useCameraProjection(const Camera& camera) {
  usePixelProjection();
  if (camera.identity()) return;
  glMatrixMode(GL_PROJECTION);
  glScaled(camera.scale(), camera.scale(), 1);
  glTranslated(-camera.origin().x, -camera.origin().y, 0);
  glMatrixMode(GL_MODELVIEW);
}
