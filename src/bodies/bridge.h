#pragma once
#include <box2d/box2d.h>

struct State;

// Spans hinged metal planks (2w px wide, h px high, w px apart) from vertex 1 of
// sta1's polygon to vertex 0 of sta2's.
void createBridge(State& state, b2Body* sta1, b2Body* sta2, int w, int h);
