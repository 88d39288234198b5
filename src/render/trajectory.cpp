#include "render/trajectory.h"

#include <GL/gl.h>

#include "state/state.h"

namespace {
constexpr int kPreviewPoints = 180;  // three seconds of flight
}

b2Vec2 getTrajectoryPoint(const State& state, const b2Vec2& startingPosition,
                          const b2Vec2& startingVelocity, float n) {
  const float t = 1 / 60.0f;
  const b2Vec2 stepVelocity = t * startingVelocity;
  const b2Vec2 stepGravity = (t * t) * state.world->GetGravity();
  return (startingPosition + n * stepVelocity) + (0.5f * (n * n + n)) * stepGravity;
}

void drawTrajectory(const State& state, const b2Vec2& startingPosition,
                    const b2Vec2& startingVelocity) {
  glColor3f(1, 1, 0);
  glBegin(GL_LINES);
  for (int i = 0; i < kPreviewPoints; ++i) {
    const b2Vec2 trajectoryPosition =
        getTrajectoryPoint(state, startingPosition, startingVelocity, static_cast<float>(i));
    glVertex2f(trajectoryPosition.x, trajectoryPosition.y);
  }
  glEnd();
}
