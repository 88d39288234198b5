#pragma once
struct State;

// Once, after the window exists: pixel projection, sky colour, world, first scene.
void init(State& state);
