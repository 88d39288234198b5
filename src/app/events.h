#pragma once
// The one place that reads SDL's events: each key press reaches the controls
// with the pointer position at that moment.

struct State;

// Handles every pending event; the window's close and Escape end the loop.
void handleEvents(State& state);
