#pragma once
// Dragging bodies with the left mouse button. main reads the button and the
// pointer and hands them over as plain values, in window pixels of the
// 1280 x 940 picture, so that a recording can replay them.

struct State;
struct MousePart;

// The button goes down at (x, y): the dynamic body under it, the ship apart,
// is grabbed at that point. Over nothing grabbable, nothing happens.
void grabBody(State& state, int x, int y);

// Whether a press at (x, y) would grab a body.
bool grabbableAt(const State& state, int x, int y);

// The pointer moves to (x, y) while the button is down: the grab pulls there.
void dragBody(State& state, int x, int y);

// The button comes up: the body is let go.
void releaseBody(State& state);

// Whether the button holds a grab (perhaps of a body destroyed since).
bool grabbing(const MousePart& mouse);

// Once a frame before the walk: the pull keeps to the pointer while the world's
// origin scrolls under it.
void holdGrab(State& state);
