#include "render/toolbar.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "base/units.h"
#include "game/build_tools.h"
#include "render/window_pixels.h"

namespace {

// Under the marks' row (its gap, its height, the gap again), as the keys' panel.
constexpr int kLeft = 6, kTop = 32;
constexpr int kPad = 4, kRowHeight = 16, kMetalGap = 4;
constexpr int kIconWidth = 14, kIconGap = 6;
constexpr int kNameColumns = 9;  // the longest name: ALUMINIUM, MAGNESIUM
constexpr int kWidth = kPad + kIconWidth + kIconGap + 7 * kNameColumns + kPad;
constexpr int kHeight = kPad + kRowHeight * (kToolCount + 1) + kMetalGap + kPad;

int rowTop(int row) { return kTop + kPad + row * kRowHeight + (row == kToolCount ? kMetalGap : 0); }

// Each icon in a 14 x 12 cell whose top-left corner is (x, y), in blocks of overlay pixels.
void drawIcon(const WindowPixels& w, Tool tool, int x, int y) {
  switch (tool) {
    case Tool::drag:  // a cross of arrows: move
      w.box(x + 1, y + 5, 12, 2);
      w.box(x + 6, y, 2, 12);
      w.box(x + 4, y + 1, 6, 1);
      w.box(x + 4, y + 10, 6, 1);
      break;
    case Tool::box: w.box(x + 2, y + 1, 10, 10); break;
    case Tool::ball:
      for (int dy = -5; dy < 5; ++dy) {
        const float middle = static_cast<float>(dy) + 0.5f;
        const int half = static_cast<int>(std::lround(std::sqrt(25.0f - middle * middle)));
        w.box(x + 7 - half, y + 6 + dy, 2 * half, 1);
      }
      break;
    case Tool::plank: w.box(x, y + 5, 14, 3); break;
    case Tool::rope:
      for (int i = 0; i < 5; ++i) w.box(x + 1 + 3 * i, y + 1 + 2 * i, 2, 2);
      break;
    case Tool::pin:
      w.box(x + 4, y, 6, 5);
      w.box(x + 6, y + 5, 2, 7);
      break;
    case Tool::eraser:
      for (int i = 0; i < 5; ++i) {
        w.box(x + 2 + 2 * i, y + 1 + 2 * i, 2, 2);
        w.box(x + 10 - 2 * i, y + 1 + 2 * i, 2, 2);
      }
      break;
  }
}

// The metal's colour as the bodies show it, dark inside a bright rim; the
// random one as four metals side by side.
void drawSwatch(const WindowPixels& w, const Metal* metal, int x, int y) {
  if (!metal) {
    for (int i = 0; i < 4; ++i) {
      const Colour c = kMetals[i * 3 + 1].colour;
      glColor3f(c.red, c.green, c.blue);
      w.box(x + 1 + 3 * i, y + 1, 3, 10);
    }
    return;
  }
  const Colour c = metal->colour;
  glColor3f(c.red, c.green, c.blue);
  w.box(x + 1, y + 1, 12, 10);
  glColor3f(c.red / 2, c.green / 2, c.blue / 2);
  w.box(x + 3, y + 3, 8, 6);
}

void outline(GLenum mode, const b2Vec2* points, int count) {
  for (const auto& [width, grey] : {std::pair{3.0f, 0.0f}, {1.0f, 1.0f}}) {
    glLineWidth(width);
    glColor3f(grey, grey, grey);
    glBegin(mode);
    for (int i = 0; i < count; ++i) glVertex2f(points[i].x * M2P, points[i].y * M2P);
    glEnd();
  }
}

}  // namespace

PanelBox toolbarBox() { return {kLeft, kTop, kWidth, kHeight}; }

int toolbarRowAt(int x, int y) {
  if (x < kLeft || x >= kLeft + kWidth || y < kTop || y >= kTop + kHeight) return -1;
  for (int row = 0; row <= kToolCount; ++row)
    if (y >= rowTop(row) && y < rowTop(row) + kRowHeight) return row;
  return -1;
}

void drawToolbar(const WindowPixels& w, const BuildPart& build) {
  glColor3f(0.08f, 0.08f, 0.1f);
  w.box(kLeft, kTop, kWidth, kHeight);
  const int icon = kLeft + kPad, name = icon + kIconWidth + kIconGap;
  for (int row = 0; row < kToolCount; ++row) {
    const Tool tool = static_cast<Tool>(row);
    const int top = rowTop(row);
    if (tool == build.tool) {
      glColor3f(0.2f, 0.32f, 0.55f);
      w.box(kLeft + 2, top, kWidth - 4, kRowHeight);
    }
    glColor3f(0.85f, 0.85f, 0.85f);
    drawIcon(w, tool, icon, top + 2);
    glColor3f(1, 1, 1);
    w.text(name, top + 2, toolName(tool));
  }
  const int top = rowTop(kToolCount);
  glColor3f(0.4f, 0.4f, 0.45f);
  w.box(kLeft + kPad, top - kMetalGap / 2 - 1, kWidth - 2 * kPad, 1);
  const Metal* metal = metalInUse(build);
  drawSwatch(w, metal, icon, top + 2);
  glColor3f(1, 1, 1);
  w.text(name, top + 2, metal ? metal->name : "RANDOM");
}

void drawBuildOutline(const BuildPart& build) {
  if (!build.building) return;
  const b2Vec2 a = build.buildFrom, b = build.buildTo;
  switch (build.tool) {
    case Tool::box: {
      const b2Vec2 corners[] = {a, {b.x, a.y}, b, {a.x, b.y}};
      outline(GL_LINE_LOOP, corners, 4);
      break;
    }
    case Tool::ball: {
      const float r = std::max((b - a).Length(), kSmallestRadius);
      b2Vec2 rim[32];
      for (int i = 0; i < 32; ++i) {
        const float t = static_cast<float>(i) * 2 * b2_pi / 32;
        rim[i] = a + r * b2Vec2(std::cos(t), std::sin(t));
      }
      const b2Vec2 spoke[] = {a, b};  // the radius, to the pointer
      outline(GL_LINE_LOOP, rim, 32);
      outline(GL_LINES, spoke, 2);
      break;
    }
    case Tool::plank:
    case Tool::rope: {
      const b2Vec2 line[] = {a, b};
      outline(GL_LINES, line, 2);
      break;
    }
    default: break;
  }
}
