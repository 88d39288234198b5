#pragma once
#include <box2d/box2d.h>

struct State;
struct ShipPart;

// The weightless, non-rotating 150 x 30 px hull the user flies.
b2Body* makeShip(State& state, int x, int y);

// Keeps a body's centre inside the window's four edges, zeroing the ship speed
// on the axis it had to correct.
void limitBodyBounds(ShipPart& ship, b2Body* b);
