#pragma once
// The renderer's walk over the world, without any drawing of its own, so that
// headless tests and benchmarks take the same path as the window.

#include <box2d/box2d.h>

struct State;

class BodyPainter {
 public:
  virtual ~BodyPainter() = default;
  virtual void paint(b2Body* body) = 0;
};

// Paints every body, newest first, gives walkers their random upward push, and
// destroys every body whose origin has reached the window's left edge (after
// painting it). painter may be null.
void walkBodies(State& state, BodyPainter* painter);
