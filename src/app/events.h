#pragma once
// The one place that reads SDL's events: each key press reaches the controls
// with the pointer position at that moment, in the picture's pixels; so do the
// left button and the pointer's moves while it is down, for the mouse drag.

class Screen;
struct Overlays;
struct State;

// Handles every pending event; the window's close and Escape end the loop, F11
// switches the screen between the window and the full screen, F1 and F2 switch
// the overlays.
void handleEvents(State& state, Screen& screen, Overlays& overlays);
