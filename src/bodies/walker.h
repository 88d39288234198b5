#pragma once
struct State;

// Tosses a coin and, on success, makes a dense walker at pixel (x, y) and
// records it in randomWalker.
void init_random_walker(State& state, int x, int y);
