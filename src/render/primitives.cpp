#include "render/primitives.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "base/units.h"

namespace {
constexpr double kPi = 3.141592653589793;
constexpr int kMaxVertices = 8;
}  // namespace

float toDegrees(float angle) { return static_cast<float>(static_cast<double>(angle) * 180 / kPi); }

void drawCircle(const b2Vec2& center, float r, float angle, float red, float green, float blue) {
  const int PRECISION = 30;
  glColor4f(1, 1, 1, 0.2f);
  glPushMatrix();
  glTranslatef(center.x * M2P, center.y * M2P, 0);
  glRotatef(toDegrees(angle), 0, 0, 1);
  glBegin(GL_TRIANGLE_FAN);
  glVertex2f(0, 0);
  for (float i = 0; i <= 360; i += 360 / PRECISION) {
    glColor4f(red, green, blue, 0.2f);
    const double theta = i * kPi / 180;
    glVertex2f(static_cast<float>(M2P * r * std::cos(theta)),
               static_cast<float>(M2P * r * std::sin(theta)));
  }
  glEnd();
  glPopMatrix();
}

void drawSquare(const b2Vec2* points, const b2Vec2& center, float angle, float red, float green,
                float blue) {
  GLfloat glverts[16];
  glPushMatrix();
  glTranslatef(center.x * M2P, center.y * M2P, 0);
  glRotatef(toDegrees(angle), 0, 0, 1);
  glVertexPointer(2, GL_FLOAT, 0, glverts);
  glEnableClientState(GL_VERTEX_ARRAY);
  for (int i = 0; i < 4; ++i) {
    glverts[i * 2] = points[i].x * M2P;
    glverts[i * 2 + 1] = points[i].y * M2P;
  }
  glColor4f(0.5f * red, 0.5f * green, 0.5f * blue, 1);
  glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
  glLineWidth(3);
  glColor4f(red, green, blue, 1);
  glDrawArrays(GL_LINE_LOOP, 0, 4);
  glPopMatrix();
}

void DrawSolidPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) {
  GLfloat glverts[16];
  // The array holds eight vertices; more would overrun it.
  vertexCount = std::clamp<int32>(vertexCount, 0, kMaxVertices);
  glPushMatrix();
  glVertexPointer(2, GL_FLOAT, 0, glverts);
  glEnableClientState(GL_VERTEX_ARRAY);
  for (int i = 0; i < vertexCount; ++i) {
    glverts[i * 2] = vertices[i].x;
    glverts[i * 2 + 1] = vertices[i].y;
  }
  glColor4f(color.r, color.g, color.b, 1);
  glDrawArrays(GL_TRIANGLE_FAN, 0, vertexCount);
  glLineWidth(3);
  glColor4f(0, 0, 0, 1);
  glDrawArrays(GL_LINE_LOOP, 0, vertexCount);
  glPopMatrix();
}

void drawLine(const b2Vec2* vertices, const b2Color& color) {
  GLfloat glverts[16];
  glPushMatrix();
  glVertexPointer(2, GL_FLOAT, 0, glverts);
  glEnableClientState(GL_VERTEX_ARRAY);
  for (int i = 0; i < 2; ++i) {
    glverts[i * 2] = vertices[i].x;
    glverts[i * 2 + 1] = vertices[i].y;
  }
  glLineWidth(1);
  glColor4f(color.r, color.g, color.b, 127);
  glDrawArrays(GL_LINE_LOOP, 0, 2);
  glPopMatrix();
}
