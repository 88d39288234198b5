#pragma once
// The user's controls, fed with plain values read by main: the symbol of each
// key press with the pointer position, and the key-state array (key::COUNT
// entries, nonzero while held).

struct State;
struct MetalsPart;

// Plain cars that may live at once; C replaces the oldest beyond it. A pile of
// this many at one spot still leaves a loaded machine its frame rate.
constexpr int kPlainCarLimit = 30;

// What the pressed keys of the key table do.
void makePlainCar(State& state, int x, int y);     // C
void hangCraneCar(State& state);                   // B
void releaseOrRehangCraneCar(State& state);        // J
void cutCableOrDestroyCars(State& state);          // D
void makeListedBodiesDynamic(MetalsPart& metals);  // R

// One SDL_KEYDOWN: the action of its row in the key table, if any. Escape clears state.running. C
// makes at most one plain car per frame (applyHeldKeys ends the frame's events).
void onKeyPress(State& state, int symbol, int mouseX, int mouseY);

// The held-key controls, in their fixed order, once per frame.
void applyHeldKeys(State& state, const unsigned char* keys);
