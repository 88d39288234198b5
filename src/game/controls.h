#pragma once
// The user's controls, fed with plain values read by main: the symbol of each
// key press with the pointer position, and the key-state array (key::COUNT
// entries, nonzero while held).

struct State;

// One SDL_KEYDOWN. Escape clears state.running.
void onKeyPress(State& state, int symbol, int mouseX, int mouseY);

// The held-key controls, in their fixed order, once per frame.
void applyHeldKeys(State& state, const unsigned char* keys);
