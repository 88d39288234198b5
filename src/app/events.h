#pragma once
// The one place that reads SDL's events and keyboard: each key press with the
// pointer position at that moment, then the held keys, as the frame's input.

struct FrameInput;

// Drains the event queue into input.events (the window's close is a quit) and
// reads the held keys of the game into input.held.
void readInput(FrameInput& input);
