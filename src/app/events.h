#pragma once
// The one place that reads SDL's events: each key press reaches the controls
// with the pointer position at that moment, the left button and the pointer's
// moves while it is down reach the mouse drag.

struct Overlays;
struct State;

// Handles every pending event; the window's close and Escape end the loop, F1
// and F2 switch the overlays.
void handleEvents(State& state, Overlays& overlays);
