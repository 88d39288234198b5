#pragma once
// One frame of the game after the events, in the order the game has: the
// held-key controls, the mouse's pull kept on the pointer, the walk over the
// bodies (each handed to the painter), the step; while time is stopped, only
// the painting. main, the screenshot tool, the benchmark and the tests all play
// frames through here; the renderer is one painter, a headless run passes none.
// Stopped time (P stops and restarts it, O plays one frame while it is stopped)
// arrives as key presses, like the other keys.

class b2World;
struct State;
class BodyPainter;

// World seconds per frame.
constexpr float kFrameSeconds = 0.05f;

void playFrame(State& state, const unsigned char* keys, BodyPainter* painter = nullptr);

// P.
void togglePause(State& state);
// O: while time is stopped, one more ordinary frame; otherwise nothing.
void playOneFrame(State& state);

// [ and ]: halve and double the speed, from 1/8 to x8. The step stays
// kFrameSeconds: slow motion steps on one frame in 2, 4 or 8 and draws the
// frames between at places between the last two steps; fast forward plays 2,
// 4 or 8 frames of the game a picture. Either steps the same physics as a
// session at full speed.
void slowDown(State& state);
void speedUp(State& state);
constexpr int kSlowestShift = -3, kFastestShift = 3;

// Advances the world by one frame. Every caller that stands for a frame of the
// game steps through here, so that what the joints need before a step (the
// cable's take-up, the wheel springs) happens everywhere.
void stepWorld(State& state);

// The solver's step alone, with the game's iterations: for the benchmark's
// reference and for tests of what the solver itself does.
void stepSolver(b2World& world, float seconds = kFrameSeconds);
