#pragma once
// Flight-path preview of a body thrown under the world's gravity alone. Not
// called by the game; kept for scenes built by hand and the tests.

#include <box2d/box2d.h>

struct State;

// The position after n steps of 1/60 s, integrated as the world integrates
// (velocity gains gravity, then position moves), in single precision.
b2Vec2 getTrajectoryPoint(const State& state, const b2Vec2& startingPosition,
                          const b2Vec2& startingVelocity, float n);

// The first 180 points as 90 yellow dashes (GL_LINES pairs them). Points go to
// OpenGL unchanged: a caller passing metres scales the model-view by M2P.
void drawTrajectory(const State& state, const b2Vec2& startingPosition,
                    const b2Vec2& startingVelocity);
