#pragma once
// F4's physics view: Box2D's own picture of the world (b2World::DebugDraw:
// shapes, the broad phase's bounding boxes, centres of mass) drawn through the
// program's debug-draw routines, and every touching contact's points. The
// world speaks metres and the routines take window pixels: everything passes
// through one mapping, which a camera replaces.

#include <box2d/box2d.h>

#include "base/units.h"

// Where a world point lands in the picture, in its pixels.
struct PixelMapping {
  float scale = M2P;    // pixels a metre
  b2Vec2 origin{0, 0};  // the world point at the picture's top-left corner
  b2Vec2 operator()(const b2Vec2& metres) const { return scale * (metres - origin); }
};

// What Box2D calls back while it walks the world, handed on in pixels. Solid
// shapes are drawn as outlines: a fill would hide the game's own picture of
// the body under it, and turning blending on and off for each of a thousand
// bodies costs llvmpipe some 20 ms a frame.
class PhysicsView : public b2Draw {
 public:
  explicit PhysicsView(const PixelMapping& mapping);  // all of shapes, boxes and centres

  // Box2D's picture of the world through this view, which is registered with
  // the world only for this call.
  void drawWorld(b2World& world);

  void DrawPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) override;
  void DrawSolidPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) override;
  void DrawCircle(const b2Vec2& center, float radius, const b2Color& color) override;
  void DrawSolidCircle(const b2Vec2& center, float radius, const b2Vec2& axis,
                       const b2Color& color) override;
  void DrawSegment(const b2Vec2& p1, const b2Vec2& p2, const b2Color& color) override;
  // The centre of mass: its axes drawn kAxisPixels long whatever the scale.
  void DrawTransform(const b2Transform& xf) override;
  void DrawPoint(const b2Vec2& p, float size, const b2Color& color) override;

  static constexpr float kAxisPixels = 8;

 private:
  PixelMapping mapping_;
};

// Box2D's picture through PhysicsView, then the contact points.
void drawPhysicsView(b2World& world, const PixelMapping& mapping);
