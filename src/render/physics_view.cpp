#include "render/physics_view.h"

#include "render/debug_draw.h"

namespace {

const b2Color kContactPoint(1, 0.15f, 0.1f);
constexpr float kContactPointSize = 5;
const b2Color kXAxis(1, 0, 0), kYAxis(0, 1, 0);

}  // namespace

PhysicsView::PhysicsView(const PixelMapping& mapping) : mapping_(mapping) {
  SetFlags(e_shapeBit | e_aabbBit | e_centerOfMassBit);
}

void PhysicsView::drawWorld(b2World& world) {
  world.SetDebugDraw(this);
  // The bounding boxes first: the shapes, hardly smaller, show over them.
  const uint32 flags = GetFlags();
  SetFlags(flags & e_aabbBit);
  world.DebugDraw();
  SetFlags(flags & ~e_aabbBit);
  world.DebugDraw();
  SetFlags(flags);
  world.SetDebugDraw(nullptr);
}

void PhysicsView::DrawPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) {
  b2Vec2 pixels[b2_maxPolygonVertices];
  for (int32 i = 0; i < vertexCount; ++i) pixels[i] = mapping_(vertices[i]);
  DrawPolygonDebugDraw(pixels, vertexCount, color);
}

void PhysicsView::DrawSolidPolygon(const b2Vec2* vertices, int32 vertexCount,
                                   const b2Color& color) {
  DrawPolygon(vertices, vertexCount, color);
}

void PhysicsView::DrawCircle(const b2Vec2& center, float radius, const b2Color& color) {
  DrawCircleDebugDraw(mapping_(center), mapping_.scale * radius, color);
}

void PhysicsView::DrawSolidCircle(const b2Vec2& center, float radius, const b2Vec2& axis,
                                  const b2Color& color) {
  DrawCircle(center, radius, color);
  DrawSegment(center, center + radius * axis, color);
}

void PhysicsView::DrawSegment(const b2Vec2& p1, const b2Vec2& p2, const b2Color& color) {
  DrawSegmentDebugDraw(mapping_(p1), mapping_(p2), color);
}

void PhysicsView::DrawTransform(const b2Transform& xf) {
  // Axes of a fixed length in pixels: the transform routine's 0.4 units would
  // be under a pixel, and scaling it takes a matrix change a body.
  const b2Vec2 p = mapping_(xf.p);
  DrawSegmentDebugDraw(p, p + kAxisPixels * xf.q.GetXAxis(), kXAxis);
  DrawSegmentDebugDraw(p, p + kAxisPixels * xf.q.GetYAxis(), kYAxis);
}

void PhysicsView::DrawPoint(const b2Vec2& p, float size, const b2Color& color) {
  DrawPointDebugDraw(mapping_(p), size, color);
}

void drawPhysicsView(b2World& world, const PixelMapping& mapping) {
  PhysicsView(mapping).drawWorld(world);

  for (b2Contact* contact = world.GetContactList(); contact; contact = contact->GetNext()) {
    if (!contact->IsTouching()) continue;
    b2WorldManifold manifold;
    contact->GetWorldManifold(&manifold);
    for (int32 i = 0; i < contact->GetManifold()->pointCount; ++i)
      DrawPointDebugDraw(mapping(manifold.points[i]), kContactPointSize, kContactPoint);
  }
}
