#pragma once
// F4's physics view: Box2D's own picture of the world (shapes, the broad
// phase's bounding boxes, centres of mass) and every touching contact's
// points, drawn as outlines in a few vertex-array draws. The world speaks
// metres and the picture pixels: everything passes through one mapping, which
// a camera replaces.
//
// Over a thousand bodies llvmpipe pays for every primitive, so the view draws
// what tells something: no bounding box or centre of mass for static bodies,
// the ground's columns as one line along their tops, circle rims with
// segments in proportion to their size in the picture, no radius where the
// centre of mass's axis covers it, one contact point where several overlap,
// and lines one pixel wide.

#include <box2d/box2d.h>

#include <deque>
#include <vector>

#include "base/units.h"
#include "state/parts.h"

// Where a world point lands in the picture, in its pixels.
struct PixelMapping {
  float scale = M2P;    // pixels a metre
  b2Vec2 origin{0, 0};  // the world point at the picture's top-left corner
  b2Vec2 operator()(const b2Vec2& metres) const { return scale * (metres - origin); }
};

// What Box2D calls back while it walks the world, gathered in pixels and drawn
// at once. Solid shapes are drawn as outlines: a fill would hide the game's
// own picture of the body under it.
class PhysicsView : public b2Draw {
 public:
  explicit PhysicsView(const PixelMapping& mapping);  // all of shapes, boxes and centres

  // The world through this view, which is registered with the world only for
  // the bounding boxes. `columns`, the terrain's (may be null), are drawn as
  // one line along their tops.
  void drawWorld(b2World& world, const std::deque<MadeBody>* columns = nullptr);

  void DrawPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) override;
  void DrawSolidPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) override;
  void DrawCircle(const b2Vec2& center, float radius, const b2Color& color) override;
  void DrawSolidCircle(const b2Vec2& center, float radius, const b2Vec2& axis,
                       const b2Color& color) override;
  void DrawSegment(const b2Vec2& p1, const b2Vec2& p2, const b2Color& color) override;
  // The centre of mass: its axes drawn kAxisPixels long whatever the scale.
  void DrawTransform(const b2Transform& xf) override;
  void DrawPoint(const b2Vec2& p, float size, const b2Color& color) override;

  // Draws what was gathered, lines then points.
  void flush();

  static constexpr float kAxisPixels = 8;
  // Points of one colour closer than this in pixels are drawn once.
  static constexpr float kPointSpacing = 2;
  // A circle's rim takes a segment for every pixel of radius, from 8 to 32.
  static constexpr int kMinRimSegments = 8, kMaxRimSegments = 32;

 private:
  struct Vertex {
    float x, y, r, g, b;
  };
  void line(const b2Vec2& a, const b2Vec2& b, const b2Color& c);  // pixels
  void dropOverlappingPoints();

  PixelMapping mapping_;
  std::vector<Vertex> lines_, points_;
  float pointSize_ = 1;
  std::vector<bool> boxSkipped_;  // of the broad phase's boxes, in Box2D's order
  std::size_t nextBox_ = 0;
};

// The physics view of the world and its contact points; `columns` as above.
void drawPhysicsView(b2World& world, const PixelMapping& mapping,
                     const std::deque<MadeBody>* columns = nullptr);
