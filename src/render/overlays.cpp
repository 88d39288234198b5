#include "render/overlays.h"

#include <GL/gl.h>

#include <string>

#include "game/keys.h"
#include "render/joint_view.h"
#include "render/key_panel.h"
#include "render/window_pixels.h"
#include "state/state.h"

namespace {

constexpr int kMargin = 6;

// A small dark label in the top row, clear of the key panel, ending at `right`;
// returns where it begins.
int drawMark(const std::string& text, int right) {
  const WindowPixels window;
  const int pad = 4;
  const int width = 7 * static_cast<int>(text.size()) - 1 + 2 * pad;
  const int x = right - width;
  glColor3f(0.1f, 0.1f, 0.1f);
  window.box(x, kMargin, width, 12 + 2 * pad);
  glColor3f(1, 1, 1);
  window.text(x + pad, kMargin + pad, text);
  return x;
}

}  // namespace

void toggleOverlay(Overlays& overlays, View view) {
  if (view == View::keyPanel) overlays.keys = !overlays.keys;
  if (view == View::jointView) overlays.joints = !overlays.joints;
}

void drawOverlays(const State& state, const Overlays& overlays) {
  const bool stopped = state.paused || overlays.replayStopped;
  if (!overlays.keys && !overlays.joints && !stopped && !overlays.replay) return;
  glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_LINE_BIT | GL_POINT_BIT);
  glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_BLEND);

  if (overlays.joints) drawJoints(*state.world);
  if (overlays.keys) drawKeyPanel();
  // From the top-right corner leftwards.
  int right = WindowPixels().pictureWidth() - kMargin;
  if (stopped) right = drawMark("PAUSE", right) - kMargin;
  if (overlays.replay) drawMark("REPLAY", right);

  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
}
