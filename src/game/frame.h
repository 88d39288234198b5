#pragma once
// One frame of the game after the events, in the order the game has: the
// held-key controls, the mouse's pull kept on the pointer, the walk over the
// bodies (each handed to the painter), the step; while time is stopped, only
// the painting. main, the screenshot tool, the benchmark and the tests all play
// frames through here; the renderer is one painter, a headless run passes none.

struct State;
class BodyPainter;

void playFrame(State& state, const unsigned char* keys, BodyPainter* painter = nullptr);
