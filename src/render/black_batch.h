#pragma once
// Boxes painted black, gathered into two draws. A black box's fill and rim are
// the same colour, so within an unbroken run of them the drawing order cannot
// show; the renderer flushes before anything of another colour.

#include <box2d/box2d.h>

#include <vector>

class BlackBatch {
 public:
  // Four body-frame vertices (metres) of a body at world centre and angle.
  void add(const b2Vec2* points, const b2Vec2& center, float angle);
  // Draws what was gathered: fills, then 3 px rims, as drawSquare would.
  void flush();
  bool empty() const { return fills_.empty(); }

 private:
  std::vector<float> fills_;  // two triangles per box
  std::vector<float> rims_;   // four segments per box
};
