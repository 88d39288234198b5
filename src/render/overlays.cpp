#include "render/overlays.h"

#include <GL/gl.h>

#include <string>

#include "game/keys.h"
#include "render/console_strip.h"
#include "render/figures_panel.h"
#include "render/joint_view.h"
#include "render/key_panel.h"
#include "render/physics_view.h"
#include "render/trajectory.h"
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

// Where the dragged body would fly if let go now: from its centre, at its
// velocity, under the world's gravity. The preview works in metres. Its yellow
// dashes go over wider black ones, so that they read on a pale sky too: the
// blend function blackens whatever colour the preview sets.
void drawThrowPath(const State& state, const PixelMapping& mapping) {
  const b2Body* body = state.mouseJoint->GetBodyB();
  glPushMatrix();
  glScalef(mapping.scale, mapping.scale, 1);
  glTranslatef(-mapping.origin.x, -mapping.origin.y, 0);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ZERO, GL_ZERO);
  glLineWidth(4);
  drawTrajectory(state, body->GetWorldCenter(), body->GetLinearVelocity());
  glDisable(GL_BLEND);
  glLineWidth(2);
  drawTrajectory(state, body->GetWorldCenter(), body->GetLinearVelocity());
  glPopMatrix();
}

}  // namespace

void toggleOverlay(Overlays& overlays, View view) {
  if (view == View::keyPanel) overlays.keys = !overlays.keys;
  if (view == View::jointView) overlays.joints = !overlays.joints;
  if (view == View::figures) overlays.figures = !overlays.figures;
  if (view == View::physicsView) overlays.physics = !overlays.physics;
  if (view == View::consoleStrip) overlays.console = !overlays.console;
}

void drawOverlays(const State& state, const Overlays& overlays) {
  const bool dragging = state.mouseJoint != nullptr;
  const bool stopped = state.paused || overlays.replayStopped;
  if (!overlays.keys && !overlays.joints && !overlays.figures && !overlays.physics &&
      !overlays.console && !dragging && !stopped && !overlays.replay)
    return;
  glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_LINE_BIT | GL_POINT_BIT);
  glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_BLEND);

  // World to picture, for everything drawn in the world's place.
  const PixelMapping mapping;
  if (overlays.physics) drawPhysicsView(*state.world, mapping);
  if (overlays.joints) drawJoints(*state.world);
  if (dragging) drawThrowPath(state, mapping);
  if (overlays.keys) drawKeyPanel();
  const bool strip = overlays.console && overlays.consoleLines;
  if (strip) drawConsoleStrip(*overlays.consoleLines);
  if (overlays.figures)
    drawFiguresPanel(figureLines(overlays.measured), strip ? consoleStripHeight() : 0);
  // From the top-right corner leftwards.
  int right = WindowPixels().pictureWidth() - kMargin;
  if (stopped) right = drawMark("PAUSE", right) - kMargin;
  if (overlays.replay) drawMark("REPLAY", right);

  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
}
