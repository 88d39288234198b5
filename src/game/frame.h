#pragma once
// One frame of the game after the events, in the order the game has: the
// held-key controls, the mouse's pull kept on the pointer, the walk over the
// bodies (each handed to the painter), the step; while time is stopped, only
// the painting. main, the screenshot tool, the benchmark and the tests all play
// frames through here; the renderer is one painter, a headless run passes none.
// Stopped time (P stops and restarts it, O plays one frame while it is stopped)
// and the speed arrive as key presses, like the other keys (game/time_flow.h).

class b2World;
struct State;
class BodyPainter;

// World seconds per frame.
constexpr float kFrameSeconds = 0.05f;

void playFrame(State& state, const unsigned char* keys, BodyPainter* painter = nullptr);

// Advances the world by one frame. Every caller that stands for a frame of the
// game steps through here, so that what the joints need before a step (the
// cable's take-up, the wheel springs) happens everywhere. While F3 measures,
// its time is added to the frame's (state.frameTimes).
void stepWorld(State& state);

// The solver's step alone, with the game's iterations: for the benchmark's
// reference and for tests of what the solver itself does.
void stepSolver(b2World& world, float seconds = kFrameSeconds);
