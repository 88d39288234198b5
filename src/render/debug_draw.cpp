#include "render/debug_draw.h"

#include <GL/gl.h>

#include <cmath>

namespace {

constexpr int k_segments = 16;
constexpr float k_increment = 6.2831855f / k_segments;
constexpr float k_axisScale = 0.4f;

void beginTranslucent(const b2Color& color) {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0.5f * color.r, 0.5f * color.g, 0.5f * color.b, 0.5f);
}

void endTranslucent(const b2Color& color) {
  glDisable(GL_BLEND);
  glColor4f(color.r, color.g, color.b, 1);
}

// The rim vertices, theta growing from 0 by k_increment as the angle is accumulated.
void emitRim(const b2Vec2& center, float radius) {
  float theta = 0;
  for (int i = 0; i < k_segments; ++i) {
    const b2Vec2 v = center + radius * b2Vec2(std::cos(theta), std::sin(theta));
    glVertex2f(v.x, v.y);
    theta += k_increment;
  }
}

void emitVertices(const b2Vec2* vertices, int32 vertexCount) {
  for (int32 i = 0; i < vertexCount; ++i) glVertex2f(vertices[i].x, vertices[i].y);
}

}  // namespace

void DrawPolygonDebugDraw(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) {
  glColor3f(color.r, color.g, color.b);
  glBegin(GL_LINE_LOOP);
  emitVertices(vertices, vertexCount);
  glEnd();
}

void DrawSolidPolygonDebugDraw(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) {
  beginTranslucent(color);
  glBegin(GL_TRIANGLE_FAN);
  emitVertices(vertices, vertexCount);
  glEnd();
  endTranslucent(color);

  glBegin(GL_LINE_LOOP);
  emitVertices(vertices, vertexCount);
  glEnd();
}

void DrawCircleDebugDraw(const b2Vec2& center, float radius, const b2Color& color) {
  glColor3f(color.r, color.g, color.b);
  glBegin(GL_LINE_LOOP);
  emitRim(center, radius);
  glEnd();
}

void DrawSolidCircleDebugDraw(const b2Vec2& center, float radius, const b2Vec2& axis,
                              const b2Color& color) {
  beginTranslucent(color);
  glBegin(GL_TRIANGLE_FAN);
  emitRim(center, radius);
  glEnd();
  endTranslucent(color);

  glBegin(GL_LINE_LOOP);
  emitRim(center, radius);
  glEnd();

  const b2Vec2 p = center + radius * axis;
  glBegin(GL_LINES);
  glVertex2f(center.x, center.y);
  glVertex2f(p.x, p.y);
  glEnd();
}

void DrawSegmentDebugDraw(const b2Vec2& p1, const b2Vec2& p2, const b2Color& color) {
  glColor3f(color.r, color.g, color.b);
  glBegin(GL_LINES);
  glVertex2f(p1.x, p1.y);
  glVertex2f(p2.x, p2.y);
  glEnd();
}

void DrawTransformDebugDraw(const b2Transform& xf) {
  const b2Vec2 p1 = xf.p;
  glBegin(GL_LINES);
  glColor3f(1, 0, 0);
  glVertex2f(p1.x, p1.y);
  b2Vec2 p2 = p1 + k_axisScale * xf.q.GetXAxis();
  glVertex2f(p2.x, p2.y);

  glColor3f(0, 1, 0);
  glVertex2f(p1.x, p1.y);
  p2 = p1 + k_axisScale * xf.q.GetYAxis();
  glVertex2f(p2.x, p2.y);
  glEnd();
}

void DrawPointDebugDraw(const b2Vec2& p, float size, const b2Color& color) {
  glPointSize(size);
  glBegin(GL_POINTS);
  glColor3f(color.r, color.g, color.b);
  glVertex2f(p.x, p.y);
  glEnd();
  glPointSize(1.0f);
}

void DrawAABBDebugDraw(const b2AABB* aabb, const b2Color& c) {
  glColor3f(c.r, c.g, c.b);
  glBegin(GL_LINE_LOOP);
  glVertex2f(aabb->lowerBound.x, aabb->lowerBound.y);
  glVertex2f(aabb->upperBound.x, aabb->lowerBound.y);
  glVertex2f(aabb->upperBound.x, aabb->upperBound.y);
  glVertex2f(aabb->lowerBound.x, aabb->upperBound.y);
  glEnd();
}
