#pragma once
struct State;

// One frame after the events: the held-key controls, the drawing, the step.
// main adds the events before and the swap after; tests, benchmarks and the
// screenshot program call it the same way.
void runFrame(State& state, const unsigned char* keys);
