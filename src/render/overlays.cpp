#include "render/overlays.h"

#include <GL/gl.h>

#include <string>
#include <tuple>

#include "render/console_strip.h"
#include "render/figures_panel.h"
#include "render/joint_view.h"
#include "render/key_panel.h"
#include "render/physics_view.h"
#include "render/text_panel.h"
#include "render/trajectory.h"
#include "render/window_pixels.h"
#include "state/state.h"

namespace {

// A small dark label in the top-right corner, clear of the key panel, its
// right edge `right` window pixels from the picture's left; says where its left edge is.
int drawMark(const WindowPixels& window, int right, const std::string& text) {
  TextPanel mark;
  mark.columns = {{{text}, {1, 1, 1}}};
  mark.corner = Corner::topRight;
  mark.across = window.pictureWidth() - right;
  mark.down = 6;
  mark.pad = 4;
  mark.background = {0.1f, 0.1f, 0.1f};
  return drawTextPanel(window, mark).x;
}

// A speed given as a power of two: 1/2 to 1/8, x2 to x8.
std::string speedText(int shift) {
  return shift < 0 ? "1/" + std::to_string(1 << -shift) : "x" + std::to_string(1 << shift);
}

// From the corner leftwards: "PAUSE" while time or the replay is stopped, the
// game's speed when it is not 1, and "REPLAY" with the replay's own speed.
void drawMarks(const State& state, const Overlays& overlays) {
  const WindowPixels window;
  int right = window.pictureWidth() - 6;
  if (state.paused || overlays.replayStopped) right = drawMark(window, right, "PAUSE") - 4;
  if (state.speedShift != 0) right = drawMark(window, right, speedText(state.speedShift)) - 4;
  if (overlays.replay)
    drawMark(window, right,
             overlays.replayShift ? "REPLAY " + speedText(overlays.replayShift) : "REPLAY");
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

// The game's window seen from afar: dark and light lines, faint, so that they
// read on any sky without hiding what lies under them.
void drawWorldFrame() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  for (const auto& [width, grey, alpha] : {std::tuple{3.0f, 0.0f, 0.3f}, {1.0f, 1.0f, 0.5f}}) {
    glLineWidth(width);
    glColor4f(grey, grey, grey, alpha);
    glBegin(GL_LINE_LOOP);
    glVertex2f(0, 0);
    glVertex2f(WIDTH, 0);
    glVertex2f(WIDTH, HEIGHT);
    glVertex2f(0, HEIGHT);
    glEnd();
  }
  glDisable(GL_BLEND);
}

// What stays put in the window whatever the camera does: drawn under the
// picture's own projection for as long as this lives.
class FixedToTheWindow {
 public:
  explicit FixedToTheWindow(const Camera& camera) : moved_(!camera.identity()) {
    if (!moved_) return;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, WIDTH, HEIGHT, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
  }
  ~FixedToTheWindow() {
    if (!moved_) return;
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
  }
  FixedToTheWindow(const FixedToTheWindow&) = delete;
  FixedToTheWindow& operator=(const FixedToTheWindow&) = delete;

 private:
  bool moved_;
};

}  // namespace

void drawOverlays(const State& state, const Overlays& overlays, const Camera& camera) {
  const bool dragging = state.mouseJoint != nullptr;
  const bool frame = !camera.identity();
  const bool stopped = state.paused || overlays.replayStopped;
  if (!overlays.keys && !overlays.joints && !overlays.figures && !overlays.physics &&
      !overlays.console && !dragging && !stopped && state.speedShift == 0 && !overlays.replay &&
      !frame)
    return;
  glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_LINE_BIT | GL_POINT_BIT);
  glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_BLEND);

  // World to picture, for everything drawn in the world's place; the camera's
  // projection takes the picture on to the view.
  const PixelMapping mapping;
  if (frame) drawWorldFrame();
  if (overlays.physics) drawPhysicsView(*state.world, mapping);
  if (overlays.joints) drawJoints(*state.world);
  if (dragging) drawThrowPath(state, mapping);
  {
    const FixedToTheWindow fixed(camera);
    if (overlays.keys) drawKeyPanel();
    const bool strip = overlays.console && overlays.consoleLines;
    if (strip) drawConsoleStrip(*overlays.consoleLines);
    if (overlays.figures)
      drawFiguresPanel(figureLines(overlays.measured), strip ? consoleStripHeight() : 0);
    if (stopped || state.speedShift != 0 || overlays.replay) drawMarks(state, overlays);
  }

  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
}
