#pragma once
// The scrolling landscape: a flat floor at start, then one noise column per scroll step
// 200 px beyond the right edge, with debris now and then.

#include <box2d/box2d.h>

struct State;

// Height in pixels for a noise value: single-precision 1 + n, double products.
float terrainHeight(float noise);

void createBase(State& state);
void ShiftOrigin(State& state, const b2Vec2& newOrigin);
void update(State& state);
// Not called by the game: a noise landscape across the whole window at once, and
// one column added at the left, scrolling back.
void createFirstGround(State& state);
void rewind_update(State& state);
