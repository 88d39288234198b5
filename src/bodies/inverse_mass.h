#pragma once
// A body's mass and inertia as the solver uses them: inverted, zero for a
// body that does not move, and the inertia about the centre of mass.

#include <box2d/box2d.h>

inline float inverseMass(const b2Body* b) { return b->GetMass() > 0 ? 1 / b->GetMass() : 0; }

// GetInertia is about the body origin; the solver works about the centre of mass.
inline float inverseCentralInertia(const b2Body* b) {
  const b2Vec2 c = b->GetLocalCenter();
  const float inertia = b->GetInertia() - b->GetMass() * b2Dot(c, c);
  return inertia > 0 ? 1 / inertia : 0;
}
