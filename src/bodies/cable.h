#pragma once
// The cable between the ship and the crane car: two 1 m rods. A rod made far
// from its length is taken up gradually, at most 0.2 m per position iteration,
// instead of being snapped shut in one step.

struct State;

// Joins the ship to the crane car with the two cable joints; each starts at the
// current anchor distance (at least 1 m) and is then taken up by takeUpCable.
void attachCable(State& state);

// Before each step: shortens the living cable joints by what three clamped
// position iterations would correct, until they reach their 1 m length. Static
// ground near the ship, the car or the car's wheels and arm takes no part of
// the pull: over the floor only the ship moves, about 0.3 m a frame.
void takeUpCable(State& state);
