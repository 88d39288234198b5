#include "render/renderer.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include "base/console_sink.h"
#include "game/body_walk.h"
#include "game/build_tools.h"
#include "render/frame_batch.h"
#include "render/primitives.h"
#include "state/state.h"

namespace {

// The walker first, then the metals in their table's order; the first exact match is drawn.
const Colour* polygonColour(float density) {
  if (density == kWalkerDensity) return &kWalkerColour;
  for (const Metal& metal : kMetals)
    if (metal.density == density) return &metal.colour;
  return nullptr;
}

// Red shade of a disc by density class; negative when no dot is drawn.
float circleShade(float d) {
  if (d <= 1) return 1.0f;
  if (d <= 2) return 0.5f;
  if (d <= 3) return 0.7f;
  if (d <= 4) return 0.25f;
  if (d <= 5) return 0.1f;
  return -1.0f;
}

// Whether nothing of the body, rim included, can land in the area (pixels).
bool outside(const BodyPose& pose, const b2Fixture* fixture, const PictureRect& area) {
  const b2Shape* shape = fixture->GetShape();
  float reach = shape->m_radius;  // circles; polygons add their farthest vertex
  if (shape->GetType() == b2Shape::e_polygon) {
    const auto* polygon = static_cast<const b2PolygonShape*>(shape);
    reach = 0;
    for (int i = 0; i < polygon->m_count; ++i)
      reach = b2Max(reach, polygon->m_vertices[i].Length());
  }
  // The vertices are drawn around the centre of mass, the test polygon around its origin.
  const b2Vec2 c = pose.center;
  const b2Vec2 o = pose.position;
  const float margin = reach + (c - o).Length() + 0.5f;
  auto metres = [](double pixels) { return static_cast<float>(pixels) * P2M; };
  return b2Min(c.x, o.x) + margin < metres(area.left) ||
         b2Max(c.x, o.x) - margin > metres(area.right) ||
         b2Min(c.y, o.y) + margin < metres(area.top) ||
         b2Max(c.y, o.y) - margin > metres(area.bottom);
}

// The test material announces itself on the console while it is drawn, one
// line per vertex index; a debugging aid kept on purpose. The polygon keeps
// only its convex hull, so its own vertex count is the one to print and draw.
void printIndices(const b2Fixture* fixture) {
  const auto* polygon = static_cast<const b2PolygonShape*>(fixture->GetShape());
  for (int i = 0; i < polygon->m_count; ++i) say(i);
}

// Its vertices go from the body frame to window pixels.
void paintTestPolygon(const b2Transform& xf, const b2PolygonShape* polygon) {
  b2Vec2 polygonPoints[b2_maxPolygonVertices];
  for (int i = 0; i < polygon->m_count; ++i)
    polygonPoints[i] = M2P * b2Mul(xf, polygon->m_vertices[i]);
  DrawSolidPolygon(polygonPoints, polygon->m_count, b2Color(1, 1, 0));
}

}  // namespace

void Renderer::beginFrame() {
  glClear(GL_COLOR_BUFFER_BIT);
  glLoadIdentity();
  batch_.begin();
}

void Renderer::paint(b2Body* body) {
  const b2Fixture* fixture = body->GetFixtureList();
  if (!fixture) return;
  // A test polygon's index lines are printed wherever it is.
  if (fixture->GetType() == b2Shape::e_polygon && fixture->GetDensity() == kTestDensity)
    printIndices(fixture);
  const BodyPose pose = drawnPose(state_, body);
  if (outside(pose, fixture, visible_)) return;
  if (fixture->GetType() == b2Shape::e_circle) paintCircle(body, pose, fixture);
  else if (fixture->GetType() == b2Shape::e_polygon) paintPolygon(body, pose, fixture);
}

void Renderer::endFrame() {
  batch_.end();
  // A '0' with no raster position of its own: it starts in the lower-left corner
  // and walks 8 px to the right each frame until it leaves the window. Kept as
  // the frame's familiar mark; nothing else sets the raster position.
  glutBitmapCharacter(GLUT_BITMAP_8_BY_13, '0');
}

void Renderer::paintCircle(b2Body* body, const BodyPose& pose, const b2Fixture* fixture) {
  const b2Vec2 center = pose.center;
  const float angle = pose.angle;
  // A ball built with a tool shows whole, in its metal's colour.
  const Colour* metal = isBuilt(state_, body) ? polygonColour(fixture->GetDensity()) : nullptr;
  if (metal) {
    batch_.addDisc(center, fixture->GetShape()->m_radius, angle, metal->red, metal->green,
                   metal->blue);
    return;
  }
  const float shade = circleShade(fixture->GetDensity());
  if (shade >= 0) batch_.addDisc(center, 0.3f, angle, shade, state_.green, state_.blue);
  if (body->GetJointList()) {
    const float radius = fixture->GetShape()->m_radius;
    batch_.addDisc(center, radius, angle, 0.5f, state_.green, state_.blue);
  }
}

void Renderer::paintPolygon(b2Body* body, const BodyPose& pose, const b2Fixture* fixture) {
  const auto* polygon = static_cast<const b2PolygonShape*>(fixture->GetShape());
  const float density = fixture->GetDensity();
  const b2Vec2 center = pose.center;
  const float angle = pose.angle;
  b2Vec2 points[4];
  for (int i = 0; i < 4; ++i) points[i] = polygon->m_vertices[i];

  if (density == kTestDensity) {
    batch_.flush();
    // Drawn where it is, its own transform exactly; between two steps, at the pose drawn.
    paintTestPolygon(
        state_.blend >= 1 ? body->GetTransform() : b2Transform(pose.position, b2Rot(pose.angle)),
        polygon);
  }

  // Static bodies, the ship and the hulls and crane end up black: the black box
  // covers their metal colour exactly, so only it is drawn.
  const bool black = body->GetType() == b2_staticBody || body->IsFixedRotation() ||
                     density == kHullDensity || density == kCraneDensity;
  if (black) {
    batch_.addBox(points, center, angle, 0, 0, 0);
    return;
  }
  if (const Colour* colour = polygonColour(density))
    batch_.addBox(points, center, angle, colour->red, colour->green, colour->blue);
}

void display(State& state) {
  Renderer renderer(state);
  walkBodies(state, &renderer);
}

void displayBodyByBody(State& state) {
  Renderer renderer(state, false);
  walkBodies(state, &renderer);
}
