#include "render/physics_view.h"

#include <GL/gl.h>

#include "render/debug_draw.h"

namespace {

const b2Color kContactPoint(1, 0.15f, 0.1f);
constexpr float kContactPointSize = 5;
constexpr float kDebugAxisLength = 0.4f;  // the transform routine's own axis length

}  // namespace

PhysicsView::PhysicsView(const PixelMapping& mapping) : mapping_(mapping) {
  SetFlags(e_shapeBit | e_aabbBit | e_centerOfMassBit);
}

void PhysicsView::DrawPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) {
  b2Vec2 pixels[b2_maxPolygonVertices];
  for (int32 i = 0; i < vertexCount; ++i) pixels[i] = mapping_(vertices[i]);
  DrawPolygonDebugDraw(pixels, vertexCount, color);
}

void PhysicsView::DrawSolidPolygon(const b2Vec2* vertices, int32 vertexCount,
                                   const b2Color& color) {
  b2Vec2 pixels[b2_maxPolygonVertices];
  for (int32 i = 0; i < vertexCount; ++i) pixels[i] = mapping_(vertices[i]);
  DrawSolidPolygonDebugDraw(pixels, vertexCount, color);
}

void PhysicsView::DrawCircle(const b2Vec2& center, float radius, const b2Color& color) {
  DrawCircleDebugDraw(mapping_(center), mapping_.scale * radius, color);
}

void PhysicsView::DrawSolidCircle(const b2Vec2& center, float radius, const b2Vec2& axis,
                                  const b2Color& color) {
  DrawSolidCircleDebugDraw(mapping_(center), mapping_.scale * radius, axis, color);
}

void PhysicsView::DrawSegment(const b2Vec2& p1, const b2Vec2& p2, const b2Color& color) {
  DrawSegmentDebugDraw(mapping_(p1), mapping_(p2), color);
}

void PhysicsView::DrawTransform(const b2Transform& xf) {
  // The routine draws axes 0.4 units long: at the centre, scaled to be seen.
  const b2Vec2 p = mapping_(xf.p);
  glPushMatrix();
  glTranslatef(p.x, p.y, 0);
  glScalef(kAxisPixels / kDebugAxisLength, kAxisPixels / kDebugAxisLength, 1);
  DrawTransformDebugDraw(b2Transform(b2Vec2(0, 0), xf.q));
  glPopMatrix();
}

void PhysicsView::DrawPoint(const b2Vec2& p, float size, const b2Color& color) {
  DrawPointDebugDraw(mapping_(p), size, color);
}

void drawPhysicsView(b2World& world, const PixelMapping& mapping) {
  PhysicsView view(mapping);
  world.SetDebugDraw(&view);
  world.DebugDraw();
  world.SetDebugDraw(nullptr);

  for (b2Contact* contact = world.GetContactList(); contact; contact = contact->GetNext()) {
    if (!contact->IsTouching()) continue;
    b2WorldManifold manifold;
    contact->GetWorldManifold(&manifold);
    for (int32 i = 0; i < contact->GetManifold()->pointCount; ++i)
      DrawPointDebugDraw(mapping(manifold.points[i]), kContactPointSize, kContactPoint);
  }
}
