// The overlays over a drawn frame: shown only when asked for, and the frame's own
// GL state, the raster position its '0' walks on from, left as it was.

#include "render/overlays.h"

#include <gtest/gtest.h>

#include "fixtures/gl_window.h"
#include "game/world_setup.h"
#include "state/state.h"

namespace {

class OverlaysTest : public GlWindowTest {
 protected:
  OverlaysTest() { createWorld(state); }

  struct Raster {
    float x, y;
  };
  static Raster raster() {
    GLfloat position[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    return {position[0], position[1]};
  }

  State state;
};

}  // namespace

TEST_F(OverlaysTest, ShowOnlyWhenAskedAndLeaveTheFramesColourAndRasterPosition) {
  glColor3f(0.2f, 0.4f, 0.6f);
  glRasterPos2i(100, 900);
  const Raster before = raster();
  const Rgb sky = pixel(1250, 20);  // under the pause mark
  Overlays overlays;

  drawOverlays(state, overlays);
  EXPECT_EQ(pixel(1250, 20), sky);

  state.paused = true;
  overlays.joints = overlays.keys = true;
  drawOverlays(state, overlays);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  EXPECT_FALSE(pixel(1250, 20) == sky) << "PAUSE in the top-right corner";
  const Raster after = raster();
  EXPECT_EQ(after.x, before.x);
  EXPECT_EQ(after.y, before.y);
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_FLOAT_EQ(colour[1], 0.4f);
}
