#include "render/black_batch.h"

#include <GL/gl.h>

#include <cmath>

#include "app/state.h"
#include "render/primitives.h"

void BlackBatch::add(const b2Vec2* points, const b2Vec2& center, float angle) {
  // The same rotation glRotatef would apply, from the same degrees.
  const double radians = toDegrees(angle) * (3.141592653589793 / 180);
  const float c = static_cast<float>(std::cos(radians));
  const float s = static_cast<float>(std::sin(radians));
  const float cx = center.x * M2P, cy = center.y * M2P;
  float v[4][2];
  for (int i = 0; i < 4; ++i) {
    const float x = points[i].x * M2P, y = points[i].y * M2P;
    v[i][0] = cx + c * x - s * y;
    v[i][1] = cy + s * x + c * y;
  }
  for (int i : {0, 1, 2, 0, 2, 3}) fills_.insert(fills_.end(), {v[i][0], v[i][1]});
  for (int i = 0; i < 4; ++i) {
    const int j = (i + 1) % 4;
    rims_.insert(rims_.end(), {v[i][0], v[i][1], v[j][0], v[j][1]});
  }
}

void BlackBatch::flush() {
  if (fills_.empty()) return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glColor4f(0, 0, 0, 1);
  glVertexPointer(2, GL_FLOAT, 0, fills_.data());
  glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(fills_.size() / 2));
  glLineWidth(3);
  glVertexPointer(2, GL_FLOAT, 0, rims_.data());
  glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(rims_.size() / 2));
  fills_.clear();
  rims_.clear();
}
