#include "render/overlays.h"

#include <GL/gl.h>

#include <string>

#include "game/keys.h"
#include "render/joint_view.h"
#include "render/key_panel.h"
#include "render/window_pixels.h"
#include "state/state.h"

namespace {

// A small dark label in the top-right corner, clear of the key panel, its
// right edge `right` window pixels from the picture's left; says where its left edge is.
int drawMark(const WindowPixels& window, int right, const std::string& text) {
  const int pad = 4, margin = 6;
  const int width = 7 * static_cast<int>(text.size()) - 1 + 2 * pad;
  const int x = right - width;
  glColor3f(0.1f, 0.1f, 0.1f);
  window.box(x, margin, width, 12 + 2 * pad);
  glColor3f(1, 1, 1);
  window.text(x + pad, margin + pad, text);
  return x;
}

// "PAUSE" at the corner, and the speed beside it when it is not 1: 1/2 to 1/8, x2 to x8.
void drawTimeMarks(const State& state) {
  const WindowPixels window;
  int right = window.pictureWidth() - 6;
  if (state.paused) right = drawMark(window, right, "PAUSE") - 4;
  if (state.speedShift < 0) drawMark(window, right, "1/" + std::to_string(1 << -state.speedShift));
  if (state.speedShift > 0) drawMark(window, right, "x" + std::to_string(1 << state.speedShift));
}

}  // namespace

void toggleOverlay(Overlays& overlays, View view) {
  if (view == View::keyPanel) overlays.keys = !overlays.keys;
  if (view == View::jointView) overlays.joints = !overlays.joints;
}

void drawOverlays(const State& state, const Overlays& overlays) {
  if (!overlays.keys && !overlays.joints && !state.paused && state.speedShift == 0) return;
  glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_LINE_BIT | GL_POINT_BIT);
  glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_BLEND);

  if (overlays.joints) drawJoints(*state.world);
  if (overlays.keys) drawKeyPanel();
  if (state.paused || state.speedShift != 0) drawTimeMarks(state);

  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
}
