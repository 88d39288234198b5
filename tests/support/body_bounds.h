#pragma once
// The world-space bounds of a body's first polygon, from its vertices (Box2D's
// own AABB adds the polygon skin radius).

#include <box2d/box2d.h>
#include <gtest/gtest.h>

inline b2AABB polygonBounds(const b2Body* body) {
  const auto* shape = static_cast<const b2PolygonShape*>(body->GetFixtureList()->GetShape());
  b2AABB aabb{body->GetWorldPoint(shape->m_vertices[0]), body->GetWorldPoint(shape->m_vertices[0])};
  for (int i = 1; i < shape->m_count; ++i) {
    const b2Vec2 v = body->GetWorldPoint(shape->m_vertices[i]);
    aabb.lowerBound = b2Min(aabb.lowerBound, v);
    aabb.upperBound = b2Max(aabb.upperBound, v);
  }
  return aabb;
}

inline void expectBounds(const b2AABB& aabb, float left, float top, float right, float bottom) {
  EXPECT_NEAR(aabb.lowerBound.x, left, 1e-4f);
  EXPECT_NEAR(aabb.lowerBound.y, top, 1e-4f);
  EXPECT_NEAR(aabb.upperBound.x, right, 1e-4f);
  EXPECT_NEAR(aabb.upperBound.y, bottom, 1e-4f);
}
