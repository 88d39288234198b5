#pragma once
struct State;

// Draws one frame of the world into the back buffer, and acts on it as the
// walk does: walker pushes and left-edge removal.
void display(State& state);
