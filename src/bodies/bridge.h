#pragma once
#include <box2d/box2d.h>

struct State;

// Not called by the game; kept for scenes built by hand and the tests.
// Spans hinged metal planks (2w px wide, h px high, w px apart) from vertex 1 of
// sta1's polygon to vertex 0 of sta2's. Each plank prints its metal draw.
// Stations whose first fixture is not a polygon, or a non-positive w or h, are
// refused with a message on standard error and exit status 1: the geometry
// cannot be read from them, and a zero spacing would never end the chain.
void createBridge(State& state, b2Body* sta1, b2Body* sta2, int w, int h);
