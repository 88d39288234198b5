#pragma once
struct State;

// Draws one frame of the world into the back buffer, and acts on it as the
// walk does: walker pushes and left-edge removal.
void display(State& state);

// The same frame with every box and disc drawn on its own under its own matrix
// (drawSquare, drawCircle): the picture display must give, pixel for pixel.
void displayBodyByBody(State& state);
