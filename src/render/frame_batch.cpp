#include "render/frame_batch.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/units.h"
#include "render/primitives.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kDiscSegments = 30;  // drawCircle's PRECISION
constexpr int kCell = 8;           // pixels on a side of the squares that layers are kept in
// How far beyond its vertices a fill's pixels may lie (rounding), and a 3 px
// rim's (half its width, and rounding).
constexpr float kFillReach = 1, kRimReach = 3;

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
  glGetIntegerv(GL_VIEWPORT, viewport_);
  // llvmpipe compiles the vertex stage for this CPU, and fuses its
  // multiply-adds where the CPU can.
  fused_ = __builtin_cpu_supports("fma");
  columns_ = std::max((viewport_[2] + kCell - 1) / kCell, 1);
  rows_ = std::max((viewport_[3] + kCell - 1) / kCell, 1);
  cells_.assign(static_cast<size_t>(columns_) * rows_, Cell());
  layersUsed_ = 0;
  row_ = false;
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
                     0,
                     0,
                     0};
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
FrameBatch::Vertex FrameBatch::vertex(const Placement& m, float x, float y, float r, float g,
                                      float b) const {
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
  return {cx, cy, r, g, b};
}

FrameBatch::Area FrameBatch::area(const Vertex* vertices, int count, float margin) const {
  float x0 = vertices[0].x, x1 = x0, y0 = vertices[0].y, y1 = y0;
  for (int i = 1; i < count; ++i) {
    x0 = std::min(x0, vertices[i].x), x1 = std::max(x1, vertices[i].x);
    y0 = std::min(y0, vertices[i].y), y1 = std::max(y1, vertices[i].y);
  }
  // Clip space to pixels of the viewport, then to cells; what lies outside
  // the window cannot show, so the edge cells stand for it.
  auto cell = [](float clip, int pixels, float margin, int cells) {
    const float at = std::floor(((clip + 1) * 0.5f * pixels + margin) / kCell);
    if (!(at > 0)) return 0;  // NaN too: never an index outside the grid
    return at < cells - 1 ? static_cast<int>(at) : cells - 1;
  };
  return {cell(x0, viewport_[2], -margin, columns_), cell(y0, viewport_[3], -margin, rows_),
          cell(x1, viewport_[2], margin, columns_), cell(y1, viewport_[3], margin, rows_)};
}

FrameBatch::Layer& FrameBatch::layerFor(const Area& whole, const Area& fill, Item item) {
  auto at = [this](int x, int y) -> Cell& { return cells_[static_cast<size_t>(y) * columns_ + x]; };
  int top = -1;
  for (int y = whole.y0; y <= whole.y1; ++y)
    for (int x = whole.x0; x <= whole.x1; ++x) top = std::max(top, at(x, y).layer);
  int layer = std::max(top, 0);
  // Black on black looks the same in either order; any other fill over a rim does not.
  for (int y = fill.y0; y <= fill.y1 && layer == top; ++y)
    for (int x = fill.x0; x <= fill.x1; ++x) {
      const Cell& c = at(x, y);
      if (c.layer == top && c.rims && (item != Item::blackBox || c.colouredRims)) {
        layer = top + 1;
        break;
      }
    }
  for (int y = whole.y0; y <= whole.y1; ++y)
    for (int x = whole.x0; x <= whole.x1; ++x) {
      Cell& c = at(x, y);
      if (c.layer < layer) c = Cell{layer, false, false};
      if (item != Item::disc) c.rims = true;
      if (item == Item::colouredBox) c.colouredRims = true;
    }
  if (layer == layersUsed_) {
    ++layersUsed_;
    if (layers_.size() < static_cast<size_t>(layersUsed_)) layers_.emplace_back();
  }
  return layers_[layer];
}

void FrameBatch::addBox(const b2Vec2* points, const b2Vec2& center, float angle, float red,
                        float green, float blue) {
  if (!batched_) return drawSquare(points, center, angle, red, green, blue);
  const Placement m = place(center, angle);
  Vertex corners[4];
  for (int i = 0; i < 4; ++i)
    corners[i] =
        vertex(m, points[i].x * M2P, points[i].y * M2P, 0.5f * red, 0.5f * green, 0.5f * blue);
  if (red == 0 && green == 0 && blue == 0 && joinsTheRow(corners)) {
    // Its corners' x are the ones the row's ends are drawn from, exactly.
    if (!row_) std::copy(corners, corners + 4, rowCorners_), row_ = true, rowBoxes_.clear();
    rowBoxes_.emplace_back(corners[0].x, corners[1].x);
    if (corners[0].x < rowCorners_[0].x) rowCorners_[0].x = rowCorners_[3].x = corners[0].x;
    if (corners[1].x > rowCorners_[1].x) rowCorners_[1].x = rowCorners_[2].x = corners[1].x;
    return;
  }
  endTheRow();
  addCorners(corners, red, green, blue);
}

// Upright (its corners' x and y the same floats in pairs), at the row's very
// height, and overlapping the row by at least a pixel: then the row's box covers
// the pixels of the boxes it spans and no other.
bool FrameBatch::joinsTheRow(const Vertex* c) const {
  const bool upright = c[0].x == c[3].x && c[1].x == c[2].x && c[0].y == c[1].y &&
                       c[2].y == c[3].y && c[0].x < c[1].x && c[0].y != c[2].y;
  if (!upright) return false;
  // Near the viewport's edge a line is clipped and its width drawn from there.
  const float margin = 1 - 8.0f / static_cast<float>(std::min(viewport_[2], viewport_[3]));
  for (int i : {0, 2})
    if (!(std::abs(c[i].x) < margin && std::abs(c[i].y) < margin)) return false;
  if (!row_) return true;
  const Vertex* r = rowCorners_;
  if (c[0].y != r[0].y || c[2].y != r[2].y) return false;
  const float pixel = 2.0f / static_cast<float>(viewport_[2]);  // clip units
  return std::min(c[1].x, r[1].x) - std::max(c[0].x, r[0].x) >= pixel;
}

void FrameBatch::endTheRow() {
  if (!row_) return;
  row_ = false;
  Vertex* r = rowCorners_;
  Layer& layer = addCorners(r, 0, 0, 0);
  if (rowBoxes_.size() == 1) return;
  // A 3 px rim covers 1.5 px on either side of its line, and where a line
  // ends, rounding decides its last pixel: a rim more than this far inside the
  // row's ends lies wholly on the row's fill and rims.
  const float pixel = 2.0f / static_cast<float>(viewport_[2]);
  const float across = 2.5f * pixel, along = 2 * pixel;
  auto line = [&layer](float xa, float ya, float xb, float yb) {
    layer.rims.push_back({xa, ya, 0, 0, 0});
    layer.rims.push_back({xb, yb, 0, 0, 0});
  };
  const float left = r[0].x, right = r[1].x, top = r[0].y, bottom = r[2].y;
  for (const auto& [x0, x1] : rowBoxes_) {
    // The box's own rims, in drawSquare's order and direction where needed.
    if (x0 != left && x0 < left + across) line(x0, bottom, x0, top);
    if (x1 != right && x1 > right - across) line(x1, top, x1, bottom);
    const bool inside = (x0 == left || x0 >= left + along) && (x1 == right || x1 <= right - along);
    if (!inside) line(x0, top, x1, top), line(x1, bottom, x0, bottom);
  }
}

FrameBatch::Layer& FrameBatch::addCorners(Vertex* corners, float red, float green, float blue) {
  const Item item = red == 0 && green == 0 && blue == 0 ? Item::blackBox : Item::colouredBox;
  Layer& layer = layerFor(area(corners, 4, kRimReach), area(corners, 4, kFillReach), item);
  const auto base = static_cast<GLuint>(layer.fills.size());
  layer.fills.insert(layer.fills.end(), corners, corners + 4);
  for (GLuint i : {0u, 1u, 2u, 0u, 2u, 3u}) layer.fillIndices.push_back(base + i);
  for (int i = 0; i < 4; ++i) {
    for (const Vertex& v : {corners[i], corners[(i + 1) % 4]})
      layer.rims.push_back({v.x, v.y, red, green, blue});
  }
  return layer;
}

void FrameBatch::addDisc(const b2Vec2& center, float radius, float angle, float red, float green,
                         float blue) {
  if (!batched_) return drawCircle(center, radius, angle, red, green, blue);
  endTheRow();
  const Placement m = place(center, angle);
  const float scaled = M2P * radius;
  Vertex fan[kDiscSegments + 2];
  fan[0] = vertex(m, 0, 0, 1, 1, 1);
  for (int k = 0; k <= kDiscSegments; ++k)
    fan[k + 1] = vertex(m, static_cast<float>(scaled * kRim.cos[k]),
                        static_cast<float>(scaled * kRim.sin[k]), red, green, blue);
  const Area footprint = area(fan, kDiscSegments + 2, kFillReach);
  Layer& layer = layerFor(footprint, footprint, Item::disc);
  const auto base = static_cast<GLuint>(layer.fills.size());
  layer.fills.insert(layer.fills.end(), fan, fan + kDiscSegments + 2);
  for (GLuint k = 1; k <= kDiscSegments; ++k)
    for (GLuint i : {0u, k, k + 1}) layer.fillIndices.push_back(base + i);
}

void FrameBatch::flush() {
  endTheRow();
  if (layersUsed_ == 0) return;
  // The vertices are in clip space already.
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glLineWidth(3);
  for (int i = 0; i < layersUsed_; ++i) {
    Layer& layer = layers_[i];
    glVertexPointer(2, GL_FLOAT, sizeof(Vertex), &layer.fills[0].x);
    glColorPointer(3, GL_FLOAT, sizeof(Vertex), &layer.fills[0].r);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(layer.fillIndices.size()), GL_UNSIGNED_INT,
                   layer.fillIndices.data());
    if (!layer.rims.empty()) {
      glVertexPointer(2, GL_FLOAT, sizeof(Vertex), &layer.rims[0].x);
      glColorPointer(3, GL_FLOAT, sizeof(Vertex), &layer.rims[0].r);
      glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(layer.rims.size()));
    }
    layer.fills.clear();
    layer.fillIndices.clear();
    layer.rims.clear();
  }
  glDisableClientState(GL_COLOR_ARRAY);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  layersUsed_ = 0;
  std::fill(cells_.begin(), cells_.end(), Cell());
}
