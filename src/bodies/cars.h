#pragma once
#include <box2d/box2d.h>

struct State;

// The plain car: a 40 px metal box on two motorised wheels, at pixel (x, y).
b2Body* makeCar(State& state, int x, int y);

// The crane car: a flat hull on two motorised wheels carrying the robot arm.
b2Body* makeCar2(State& state, int x, int y);
