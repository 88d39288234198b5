#pragma once
#include <box2d/box2d.h>

struct State;

// The weightless, non-rotating 150 x 30 px hull the user flies.
b2Body* makeShip(State& state, int x, int y);

// Keeps a body inside the window's left and top edges, zeroing the ship speed
// on the axis it had to correct. Right and bottom are not guarded.
void limitBodyBounds(State& state, b2Body* b);
