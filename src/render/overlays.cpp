#include "render/overlays.h"

#include <GL/gl.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "render/console_strip.h"
#include "render/figures_panel.h"
#include "render/joint_view.h"
#include "render/key_panel.h"
#include "render/overlay_layout.h"
#include "render/physics_view.h"
#include "render/text_panel.h"
#include "render/toolbar.h"
#include "render/trajectory.h"
#include "render/window_pixels.h"
#include "state/state.h"

namespace {

// A small dark label in the row of marks at the top right, its right edge
// `right` overlay pixels from the picture's left; says where its left edge is.
int drawMark(const WindowPixels& window, int right, const std::string& text) {
  TextPanel mark;
  mark.columns = {{{text}, {1, 1, 1}}};
  mark.corner = Corner::topRight;
  mark.across = window.pictureWidth() - right;
  mark.down = kOverlayGap;
  mark.pad = 4;
  mark.background = {0.1f, 0.1f, 0.1f};
  return drawTextPanel(window, mark).x;
}

// A speed given as a power of two: 1/2 to 1/8, x2 to x8.
std::string speedText(int shift) {
  return shift < 0 ? "1/" + std::to_string(1 << -shift) : "x" + std::to_string(1 << shift);
}

// The camera's scale as a mark says it: "x2.0", "x0.64". The font has no
// multiplication sign.
std::string zoomText(double scale) {
  char text[16];
  std::snprintf(text, sizeof text, scale < 1 ? "x%.2f" : "x%.1f", scale);
  return text;
}

// From the corner leftwards: "PAUSE" while time or the replay is stopped, the
// game's speed when it is not 1, "REPLAY" with the replay's own speed, the
// view's zoom while the camera is not the game's own, and "FOLLOW".
void drawMarks(const WindowPixels& window, const State& state, const Overlays& overlays,
               const Camera& camera) {
  int right = window.pictureWidth() - kOverlayGap;
  if (state.paused || overlays.replayStopped) right = drawMark(window, right, "PAUSE") - 4;
  if (state.speedShift != 0) right = drawMark(window, right, speedText(state.speedShift)) - 4;
  if (overlays.replay)
    right =
        drawMark(window, right,
                 overlays.replayShift ? "REPLAY " + speedText(overlays.replayShift) : "REPLAY") -
        4;
  if (!camera.identity()) right = drawMark(window, right, zoomText(camera.scale())) - 4;
  if (overlays.following) drawMark(window, right, "FOLLOW");
}

// F3's figures, then the view's: zoom, speed, follow.
std::vector<std::string> figuresWithTheView(const State& state, const Overlays& overlays,
                                            const Camera& camera) {
  std::vector<std::string> lines = figureLines(overlays.measured);
  lines.push_back("zoom      " + zoomText(camera.scale()));
  lines.push_back("speed     " + (state.speedShift ? speedText(state.speedShift) : "1"));
  lines.push_back(std::string("follow    ") + (overlays.following ? "on" : "off"));
  return lines;
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

OverlaysShown drawOverlays(const State& state, const Overlays& overlays, const Camera& camera) {
  const bool dragging = state.mouseJoint != nullptr;
  const bool frame = !camera.identity();
  const bool stopped = state.paused || overlays.replayStopped;
  // The toolbar shows while a building tool is chosen, or to the pointer over its place.
  const bool toolbar = state.tool != Tool::drag || overlays.overToolbar;
  if (!overlays.keys && !overlays.joints && !overlays.figures && !overlays.physics &&
      !overlays.console && !dragging && !stopped && state.speedShift == 0 && !overlays.replay &&
      !frame && !overlays.following && !overlays.message && !overlays.sessionList.open &&
      !overlays.timeline && !toolbar)
    return {};
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
  if (overlays.physics) drawPhysicsView(*state.world, mapping, &state.columns);
  if (overlays.joints) drawJoints(*state.world);
  if (dragging) drawThrowPath(state, mapping);
  drawBuildOutline(state);
  OverlaysShown shown;
  shown.toolbar = toolbar;
  shown.tool = static_cast<int>(state.tool);
  {
    const FixedToTheWindow fixed(camera);
    const WindowPixels window(overlays.uiScale);
    shown.zoom = window.zoom();
    const bool strip = overlays.console && overlays.consoleLines;
    std::vector<std::string> figures;
    if (overlays.figures) figures = figuresWithTheView(state, overlays, camera);
    const OverlayLayout layout = layOutOverlays(
        {window.pictureWidth(), window.pictureHeight(), window.perPicturePixel()}, overlays.keys,
        static_cast<int>(figures.size()), strip, overlays.timeline, toolbar);
    if (overlays.keys) {
      const KeyPanelDrawn keys = drawKeyPanel(window, layout.keys, overlays.keyPage);
      shown.keyPages = keys.pages;
      shown.keys = keys.box;
    }
    if (strip) drawConsoleStrip(window, layout.console, *overlays.consoleLines);
    if (overlays.figures) drawFiguresPanel(window, layout.figures, figures);
    if (overlays.timeline) shown.timeline = drawTimelineBar(window, layout.timeline, overlays.bar);
    if (toolbar) drawToolbar(window, state);
    if (stopped || state.speedShift != 0 || overlays.replay || frame || overlays.following)
      drawMarks(window, state, overlays, camera);
    if (overlays.message) drawMessage(window, layout.messages, *overlays.message);
    if (overlays.sessionList.open) drawSessionList(window, overlays.sessionList);
  }

  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
  return shown;
}
