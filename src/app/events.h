#pragma once
// The one place that reads SDL's events: each key press reaches the controls
// with the pointer position at that moment, in the picture's pixels.

class Screen;
struct State;

// Handles every pending event; the window's close and Escape end the loop, F11
// switches the screen between the window and the full screen.
void handleEvents(State& state, Screen& screen);
