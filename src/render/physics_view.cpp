#include "render/physics_view.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <utility>

namespace {

const b2Color kContactPoint(1, 0.15f, 0.1f);
constexpr float kContactPointSize = 5;
const b2Color kXAxis(1, 0, 0), kYAxis(0, 1, 0);

// Box2D's own colours for a body's shapes.
b2Color shapeColour(const b2Body* b) {
  if (!b->IsEnabled()) return {0.5f, 0.5f, 0.3f};
  if (b->GetType() == b2_staticBody) return {0.5f, 0.9f, 0.5f};
  if (b->GetType() == b2_kinematicBody) return {0.5f, 0.5f, 0.9f};
  if (!b->IsAwake()) return {0.6f, 0.6f, 0.6f};
  return {0.9f, 0.7f, 0.7f};
}

// The tops of the ground's columns and the steps between them, left to right,
// as one line: a run of them at one height, which the columns' overlap makes
// of nearly every flat stretch, becomes one segment over the same pixels.
template <class Emit>
class GroundLine {
 public:
  explicit GroundLine(Emit emit) : emit_(emit) {}
  void add(const b2Vec2& left, const b2Vec2& right) {
    if (started_) segment(last_, left);
    segment(left, right);
    last_ = right, started_ = true;
  }
  void finish() { endRun(); }

 private:
  void segment(const b2Vec2& a, const b2Vec2& b) {
    if (a.y != b.y) {
      endRun();
      emit_(a, b);
      return;
    }
    const float low = std::min(a.x, b.x), high = std::max(a.x, b.x);
    if (run_ && y_ == a.y && low <= high_ && high >= low_) {
      low_ = std::min(low_, low), high_ = std::max(high_, high);
      return;
    }
    endRun();
    run_ = true, y_ = a.y, low_ = low, high_ = high;
  }
  void endRun() {
    if (run_) emit_(b2Vec2(low_, y_), b2Vec2(high_, y_));
    run_ = false;
  }

  Emit emit_;
  b2Vec2 last_{0, 0};
  bool started_ = false, run_ = false;
  float y_ = 0, low_ = 0, high_ = 0;
};

}  // namespace

PhysicsView::PhysicsView(const PixelMapping& mapping) : mapping_(mapping) {
  SetFlags(e_shapeBit | e_aabbBit | e_centerOfMassBit);
}

void PhysicsView::drawWorld(b2World& world, const std::deque<MadeBody>* columns) {
  const uint32 flags = GetFlags();
  // The bounding boxes first: the shapes, hardly smaller, show over them. Box2D
  // draws one for every proxy, body by body; a static body's are skipped.
  if (flags & e_aabbBit) {
    boxSkipped_.clear();
    for (const b2Body* b = world.GetBodyList(); b; b = b->GetNext()) {
      if (!b->IsEnabled()) continue;
      for (const b2Fixture* f = b->GetFixtureList(); f; f = f->GetNext())
        boxSkipped_.insert(boxSkipped_.end(),
                           static_cast<std::size_t>(f->GetShape()->GetChildCount()),
                           b->GetType() == b2_staticBody);
    }
    nextBox_ = 0;
    SetFlags(e_aabbBit);
    world.SetDebugDraw(this);
    world.DebugDraw();
    world.SetDebugDraw(nullptr);
    SetFlags(flags);
  }

  // The columns, sorted to look up: a set would allocate a node for each, every frame.
  std::vector<const b2Body*> column;
  if (columns) {
    column.reserve(columns->size());
    const b2Color colour(0.5f, 0.9f, 0.5f);  // Box2D's static colour
    GroundLine ground([&](const b2Vec2& a, const b2Vec2& b) { line(a, b, colour); });
    for (const MadeBody& c : *columns) {
      column.push_back(c.body);
      const b2Fixture* f = c.body->GetFixtureList();
      if (!f || f->GetType() != b2Shape::e_polygon) continue;
      // The top of the column, left to right.
      const auto* polygon = static_cast<const b2PolygonShape*>(f->GetShape());
      const b2Transform& xf = c.body->GetTransform();
      b2Vec2 low = b2Mul(xf, polygon->m_vertices[0]), high = low;
      for (int32 i = 1; i < polygon->m_count; ++i) {
        const b2Vec2 v = b2Mul(xf, polygon->m_vertices[i]);
        low = b2Min(low, v), high = b2Max(high, v);
      }
      ground.add(mapping_(low), mapping_(b2Vec2(high.x, low.y)));
    }
    ground.finish();
    std::sort(column.begin(), column.end(), std::less<>());
  }

  for (b2Body* b = world.GetBodyList(); b; b = b->GetNext()) {
    const bool axes = (flags & e_centerOfMassBit) && b->GetType() != b2_staticBody;
    if ((flags & e_shapeBit) &&
        !std::binary_search(column.begin(), column.end(), b, std::less<>())) {
      const b2Color colour = shapeColour(b);
      const b2Transform& xf = b->GetTransform();
      for (const b2Fixture* f = b->GetFixtureList(); f; f = f->GetNext()) {
        const b2Shape* shape = f->GetShape();
        if (shape->GetType() == b2Shape::e_circle) {
          const auto* circle = static_cast<const b2CircleShape*>(shape);
          const b2Vec2 centre = b2Mul(xf, circle->m_p);
          // The centre of mass's x axis, drawn after, covers a radius no longer than it.
          const bool covered = axes && mapping_.scale * circle->m_radius <= kAxisPixels &&
                               mapping_.scale * b2Distance(centre, b->GetWorldCenter()) < 0.01f;
          if (covered) DrawCircle(centre, circle->m_radius, colour);
          else DrawSolidCircle(centre, circle->m_radius, xf.q.GetXAxis(), colour);
        } else if (shape->GetType() == b2Shape::e_polygon) {
          const auto* polygon = static_cast<const b2PolygonShape*>(shape);
          b2Vec2 vertices[b2_maxPolygonVertices];
          for (int32 i = 0; i < polygon->m_count; ++i)
            vertices[i] = b2Mul(xf, polygon->m_vertices[i]);
          DrawPolygon(vertices, polygon->m_count, colour);
        } else if (shape->GetType() == b2Shape::e_edge) {
          const auto* edge = static_cast<const b2EdgeShape*>(shape);
          DrawSegment(b2Mul(xf, edge->m_vertex1), b2Mul(xf, edge->m_vertex2), colour);
        }
      }
    }
    if (axes) {
      b2Transform xf = b->GetTransform();
      xf.p = b->GetWorldCenter();
      DrawTransform(xf);
    }
  }
}

void PhysicsView::line(const b2Vec2& a, const b2Vec2& b, const b2Color& c) {
  lines_.push_back({a.x, a.y, c.r, c.g, c.b});
  lines_.push_back({b.x, b.y, c.r, c.g, c.b});
}

void PhysicsView::DrawPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) {
  // The broad phase's boxes come through here while only they are asked for.
  if (GetFlags() == e_aabbBit && nextBox_ < boxSkipped_.size() && boxSkipped_[nextBox_++]) return;
  for (int32 i = 0; i < vertexCount; ++i)
    line(mapping_(vertices[i]), mapping_(vertices[(i + 1) % vertexCount]), color);
}

void PhysicsView::DrawSolidPolygon(const b2Vec2* vertices, int32 vertexCount,
                                   const b2Color& color) {
  DrawPolygon(vertices, vertexCount, color);
}

void PhysicsView::DrawCircle(const b2Vec2& center, float radius, const b2Color& color) {
  const b2Vec2 c = mapping_(center);
  const float r = mapping_.scale * radius;
  // A segment for every pixel of radius: 8 for a small wheel, never coarser.
  const int n = std::clamp(static_cast<int>(r), kMinRimSegments, kMaxRimSegments);
  const float step = 6.2831855f / static_cast<float>(n);
  b2Vec2 previous = c + b2Vec2(r, 0);
  for (int i = 1; i <= n; ++i) {
    const float theta = step * static_cast<float>(i % n);
    const b2Vec2 next = c + r * b2Vec2(std::cos(theta), std::sin(theta));
    line(previous, next, color);
    previous = next;
  }
}

void PhysicsView::DrawSolidCircle(const b2Vec2& center, float radius, const b2Vec2& axis,
                                  const b2Color& color) {
  DrawCircle(center, radius, color);
  DrawSegment(center, center + radius * axis, color);
}

void PhysicsView::DrawSegment(const b2Vec2& p1, const b2Vec2& p2, const b2Color& color) {
  line(mapping_(p1), mapping_(p2), color);
}

void PhysicsView::DrawTransform(const b2Transform& xf) {
  // Axes of a fixed length in pixels: 0.4 units would be under a pixel.
  const b2Vec2 p = mapping_(xf.p);
  line(p, p + kAxisPixels * xf.q.GetXAxis(), kXAxis);
  line(p, p + kAxisPixels * xf.q.GetYAxis(), kYAxis);
}

void PhysicsView::DrawPoint(const b2Vec2& p, float size, const b2Color& color) {
  const b2Vec2 at = mapping_(p);
  pointSize_ = size;
  points_.push_back({at.x, at.y, color.r, color.g, color.b});
}

// A body resting on the ground touches a column at nearly every pixel, and
// their points, each several pixels wide, overlap: of the points of one colour
// in each square of kPointSpacing pixels, the first shows the same row.
void PhysicsView::dropOverlappingPoints() {
  const auto square = [](const Vertex& v) {
    const auto pixel = [](float c) {
      return static_cast<std::uint32_t>(std::lround(c / kPointSpacing));
    };
    return std::uint64_t{pixel(v.x)} << 32 | pixel(v.y);
  };
  std::vector<std::pair<std::uint64_t, std::size_t>> order;  // by square, then as drawn
  order.reserve(points_.size());
  for (std::size_t i = 0; i < points_.size(); ++i) order.emplace_back(square(points_[i]), i);
  std::sort(order.begin(), order.end());
  std::vector<bool> keep(points_.size(), true);
  for (std::size_t first = 0, i = 1; i < order.size(); ++i) {
    if (order[i].first != order[first].first) {
      first = i;
      continue;
    }
    const Vertex& v = points_[order[i].second];
    for (std::size_t j = first; j < i && keep[order[i].second]; ++j) {
      const Vertex& seen = points_[order[j].second];
      if (keep[order[j].second] && seen.r == v.r && seen.g == v.g && seen.b == v.b)
        keep[order[i].second] = false;
    }
  }
  std::size_t kept = 0;
  for (std::size_t i = 0; i < points_.size(); ++i)
    if (keep[i]) points_[kept++] = points_[i];
  points_.resize(kept);
}

void PhysicsView::flush() {
  dropOverlappingPoints();
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  const auto draw = [](GLenum mode, const std::vector<Vertex>& set) {
    glVertexPointer(2, GL_FLOAT, sizeof(Vertex), &set[0].x);
    glColorPointer(3, GL_FLOAT, sizeof(Vertex), &set[0].r);
    glDrawArrays(mode, 0, static_cast<GLsizei>(set.size()));
  };
  // One pixel wide, whatever width the game's picture left (its rims are 3):
  // llvmpipe draws a wider line as two triangles, over three times the pixels.
  glPushAttrib(GL_LINE_BIT);
  glLineWidth(1);
  if (!lines_.empty()) draw(GL_LINES, lines_);
  glPopAttrib();
  if (!points_.empty()) {
    glPointSize(pointSize_);
    draw(GL_POINTS, points_);
    glPointSize(1);
  }
  lines_.clear();
  points_.clear();
  glPopClientAttrib();
}

void drawPhysicsView(b2World& world, const PixelMapping& mapping,
                     const std::deque<MadeBody>* columns) {
  PhysicsView view(mapping);
  view.drawWorld(world, columns);
  for (b2Contact* contact = world.GetContactList(); contact; contact = contact->GetNext()) {
    if (!contact->IsTouching()) continue;
    b2WorldManifold manifold;
    contact->GetWorldManifold(&manifold);
    for (int32 i = 0; i < contact->GetManifold()->pointCount; ++i)
      view.DrawPoint(manifold.points[i], kContactPointSize, kContactPoint);
  }
  view.flush();
}
