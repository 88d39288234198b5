#pragma once
#include <box2d/box2d.h>

struct State;
struct CranePart;

// Builds the five-segment robot arm on chassis b, centred at pixel (x, y);
// returns the arm segment.
b2Body* make_Grue(State& state, int x, int y, b2Body* b);

// Raises every living crane joint's motor torque so that the arm holds its pose,
// and wakes the crane: called every frame, it keeps the car from sleeping long.
void bloque_bras_robot(CranePart& crane);
