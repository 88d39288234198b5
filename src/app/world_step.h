#pragma once
struct State;

// Advances the world by one frame: 0.05 s with 8 velocity and 3 position
// iterations. Every caller that stands for a frame of the game steps through
// here, so that what the joints need before a step happens everywhere.
void stepWorld(State& state);
