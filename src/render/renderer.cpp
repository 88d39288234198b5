#include "render/renderer.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <iostream>

#include "app/state.h"
#include "render/black_batch.h"
#include "render/body_walk.h"
#include "render/primitives.h"

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

class FramePainter : public BodyPainter {
 public:
  explicit FramePainter(const State& state) : state_(state) {}

  void paint(b2Body* body) override {
    const b2Fixture* fixture = body->GetFixtureList();
    if (!fixture || outsideWindow(body, fixture)) return;
    if (fixture->GetType() == b2Shape::e_circle)
      paintCircle(body, fixture);
    else if (fixture->GetType() == b2Shape::e_polygon)
      paintPolygon(body, fixture);
  }

  void finish() { black_.flush(); }

 private:
  // Whether nothing of the body, rim included, can land in the window.
  static bool outsideWindow(const b2Body* body, const b2Fixture* fixture) {
    const b2Shape* shape = fixture->GetShape();
    float reach = shape->m_radius;  // circles; polygons add their farthest vertex
    if (shape->GetType() == b2Shape::e_polygon) {
      const auto* polygon = static_cast<const b2PolygonShape*>(shape);
      reach = 0;
      for (int i = 0; i < polygon->m_count; ++i)
        reach = b2Max(reach, polygon->m_vertices[i].Length());
    }
    // The vertices are drawn around the centre of mass, the test polygon around its origin.
    const b2Vec2 c = body->GetWorldCenter();
    const b2Vec2 o = body->GetPosition();
    const float margin = reach + (c - o).Length() + 0.5f;
    return b2Min(c.x, o.x) + margin < 0 || b2Max(c.x, o.x) - margin > WIDTH * P2M ||
           b2Min(c.y, o.y) + margin < 0 || b2Max(c.y, o.y) - margin > HEIGHT * P2M;
  }

  void paintCircle(b2Body* body, const b2Fixture* fixture) {
    black_.flush();
    const b2Vec2 center = body->GetWorldCenter();
    const float angle = body->GetAngle();
    const float shade = circleShade(fixture->GetDensity());
    if (shade >= 0) drawCircle(center, 0.3f, angle, shade, state_.green, state_.blue);
    if (body->GetJointList()) {
      const float radius = fixture->GetShape()->m_radius;
      drawCircle(center, radius, angle, 0.5f, state_.green, state_.blue);
    }
  }

  void paintPolygon(b2Body* body, const b2Fixture* fixture) {
    const auto* polygon = static_cast<const b2PolygonShape*>(fixture->GetShape());
    const float density = fixture->GetDensity();
    const b2Vec2 center = body->GetWorldCenter();
    const float angle = body->GetAngle();
    b2Vec2 points[4];
    for (int i = 0; i < 4; ++i) points[i] = polygon->m_vertices[i];

    if (density == kTestDensity) {
      black_.flush();
      paintTestPolygon(body, polygon);
    }

    // Static bodies, the ship and the hulls and crane end up black: the black box
    // covers their metal colour exactly, so only it is drawn.
    const bool black = body->GetType() == b2_staticBody || body->IsFixedRotation() ||
                       density == kHullDensity || density == kCraneDensity;
    if (black) {
      black_.add(points, center, angle);
      return;
    }
    if (const Colour* colour = polygonColour(density)) {
      black_.flush();
      drawSquare(points, center, angle, colour->red, colour->green, colour->blue);
    }
  }

  // The polygon keeps only its convex hull, so its own vertex count is the one
  // to draw; its vertices go from the body frame to window pixels.
  static void paintTestPolygon(b2Body* body, const b2PolygonShape* polygon) {
    b2Vec2 polygonPoints[b2_maxPolygonVertices];
    for (int i = 0; i < polygon->m_count; ++i) {
      std::cout << i << std::endl;
      polygonPoints[i] = M2P * body->GetWorldPoint(polygon->m_vertices[i]);
    }
    DrawSolidPolygon(polygonPoints, polygon->m_count, b2Color(1, 1, 0));
  }

  const State& state_;
  BlackBatch black_;
};

}  // namespace

void display(State& state) {
  glClear(GL_COLOR_BUFFER_BIT);
  glLoadIdentity();
  FramePainter painter(state);
  walkBodies(state, &painter);
  painter.finish();
  glutBitmapCharacter(GLUT_BITMAP_8_BY_13, '0');
}
