#pragma once
class b2World;
struct State;

// World seconds per frame.
constexpr float kFrameSeconds = 0.05f;

// Advances the world by one frame. Every caller that stands for a frame of the
// game steps through here, so that what the joints need before a step (the
// cable's take-up, the wheel springs) happens everywhere.
void stepWorld(State& state);

// The solver's step alone, with the game's iterations: for the benchmark's
// reference and for tests of what the solver itself does.
void stepSolver(b2World& world, float seconds = kFrameSeconds);
