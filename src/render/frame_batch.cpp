#include "render/frame_batch.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "app/state.h"
#include "render/primitives.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kDiscSegments = 30;  // drawCircle's PRECISION

// The rim directions drawCircle visits: every 12 degrees from 0 to 360, counted in float.
struct DiscRim {
  std::array<double, kDiscSegments + 1> cos, sin;
  DiscRim() {
    int k = 0;
    for (float i = 0; i <= 360; i += 360 / kDiscSegments, ++k) {
      const double theta = i * kPi / 180;
      cos[k] = std::cos(theta);
      sin[k] = std::sin(theta);
    }
  }
};
const DiscRim kRim;

}  // namespace

void FrameBatch::begin() {
  if (!batched_) return;
  glGetFloatv(GL_PROJECTION_MATRIX, projection_);
  // llvmpipe compiles the vertex stage for this CPU, and fuses its
  // multiply-adds where the CPU can.
  fused_ = __builtin_cpu_supports("fma");
  GLint bits = 0;
  glGetIntegerv(GL_DEPTH_BITS, &bits);
  // Two depth units apart in the window's depth range (half the clip range),
  // and apart in a float near 1 too.
  depthStep_ = bits >= 8 ? std::ldexp(1.0f, -std::min(bits - 2, 21)) : 0.0f;
  depth_ = 1;
  if (depthStep_ > 0) {
    glClearDepth(1);
    glClear(GL_DEPTH_BUFFER_BIT);
  }
}

// What glTranslatef and glRotatef make of the model-view matrix, multiplied
// into the projection as the library multiplies it: the same floats.
FrameBatch::Placement FrameBatch::place(const b2Vec2& center, float angle) const {
  const float degrees = toDegrees(angle);
  float s = 0, c = 1;
  if (degrees != 0) {  // no rotation is applied for 0 degrees
    s = std::sin(static_cast<float>(degrees * kPi / 180.0));
    c = std::cos(static_cast<float>(degrees * kPi / 180.0));
  }
  const float tx = center.x * M2P, ty = center.y * M2P;
  const float* P = projection_;  // column-major
  auto row = [&](int i) {
    return Placement{P[i] * c + P[4 + i] * s + P[8 + i] * 0.0f + P[12 + i] * 0.0f,
                     P[i] * -s + P[4 + i] * c + P[8 + i] * 0.0f + P[12 + i] * 0.0f,
                     P[i] * tx + P[4 + i] * ty + P[8 + i] * 0.0f + P[12 + i],
                     0, 0, 0};
  };
  const Placement r0 = row(0), r1 = row(1);
  return {r0.m00, r0.m01, r0.m03, r1.m00, r1.m01, r1.m03};
}

namespace {
// One rounding for the multiply-add, in the CPU's own instruction.
__attribute__((target("fma"))) float fusedMultiplyAdd(float a, float b, float c) {
  return __builtin_fmaf(a, b, c);
}
}  // namespace

// The vertex stage's x * column 0, then y * column 1 added, then column 3.
FrameBatch::Vertex FrameBatch::vertex(const Placement& m, float x, float y, float z, float r,
                                      float g, float b) const {
  float cx, cy;
  if (fused_) {
    cx = fusedMultiplyAdd(y, m.m01, x * m.m00) + m.m03;
    cy = fusedMultiplyAdd(y, m.m11, x * m.m10) + m.m13;
  } else {
    const float px = x * m.m00, py = x * m.m10;
    const float qx = y * m.m01, qy = y * m.m11;
    cx = (qx + px) + m.m03;
    cy = (qy + py) + m.m13;
  }
  return {cx, cy, z, r, g, b};
}

float FrameBatch::nextDepth() {
  if (depthStep_ == 0) return 0;
  depth_ -= depthStep_;
  if (depth_ <= -1 + depthStep_) {
    // The depth range is spent: what is drawn stays below what comes.
    flush();
    glClear(GL_DEPTH_BUFFER_BIT);
    depth_ = 1 - depthStep_;
  }
  return depth_;
}

void FrameBatch::addBox(const b2Vec2* points, const b2Vec2& center, float angle, float red,
                        float green, float blue) {
  if (!batched_) return drawSquare(points, center, angle, red, green, blue);
  const Placement m = place(center, angle);
  const float fillDepth = nextDepth(), rimDepth = nextDepth();
  Vertex corners[4];
  for (int i = 0; i < 4; ++i)
    corners[i] = vertex(m, points[i].x * M2P, points[i].y * M2P, fillDepth, 0.5f * red,
                        0.5f * green, 0.5f * blue);
  const auto base = static_cast<GLuint>(fills_.size());
  fills_.insert(fills_.end(), corners, corners + 4);
  for (GLuint i : {0u, 1u, 2u, 0u, 2u, 3u}) fillIndices_.push_back(base + i);
  for (int i = 0; i < 4; ++i) {
    for (const Vertex& v : {corners[i], corners[(i + 1) % 4]})
      rims_.push_back({v.x, v.y, rimDepth, red, green, blue});
  }
  if (depthStep_ == 0) flush();
}

void FrameBatch::addDisc(const b2Vec2& center, float radius, float angle, float red, float green,
                         float blue) {
  if (!batched_) return drawCircle(center, radius, angle, red, green, blue);
  const Placement m = place(center, angle);
  const float depth = nextDepth();
  const float scaled = M2P * radius;
  const auto base = static_cast<GLuint>(fills_.size());
  fills_.push_back(vertex(m, 0, 0, depth, 1, 1, 1));
  for (int k = 0; k <= kDiscSegments; ++k)
    fills_.push_back(vertex(m, static_cast<float>(scaled * kRim.cos[k]),
                            static_cast<float>(scaled * kRim.sin[k]), depth, red, green, blue));
  for (GLuint k = 1; k <= kDiscSegments; ++k)
    for (GLuint i : {0u, k, k + 1}) fillIndices_.push_back(base + i);
  if (depthStep_ == 0) flush();
}

void FrameBatch::flush() {
  if (fills_.empty()) return;
  // The vertices are in clip space already.
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  if (depthStep_ > 0) {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
  }
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &fills_[0].x);
  glColorPointer(3, GL_FLOAT, sizeof(Vertex), &fills_[0].r);
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(fillIndices_.size()), GL_UNSIGNED_INT,
                 fillIndices_.data());
  if (!rims_.empty()) {
    glLineWidth(3);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &rims_[0].x);
    glColorPointer(3, GL_FLOAT, sizeof(Vertex), &rims_[0].r);
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(rims_.size()));
  }
  glDisableClientState(GL_COLOR_ARRAY);
  glDisable(GL_DEPTH_TEST);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  fills_.clear();
  fillIndices_.clear();
  rims_.clear();
}

void FrameBatch::end() { flush(); }
