#pragma once
// The one place that reads SDL's events and keyboard: each key press with the
// pointer position at that moment, in the picture's pixels, then the held keys,
// as the frame's input.

class Screen;
struct FrameInput;

// Drains the event queue into input.events (the window's close is a quit) and
// reads the held keys of the game into input.held. F11 switches the screen
// between the window and the full screen; the game never sees it.
void readInput(FrameInput& input, Screen& screen);
