#pragma once
// The one way a frame's outside input reaches the game: the live loop, the
// windowed and the headless replay and the fuzzer all play frames through it,
// and those without a window start the game here too.

struct State;
struct FrameInput;
class BodyPainter;

// The program's start-up without its window, for the headless replay, a
// resumed session and the fuzzer: the same draws, in the same order, and the
// same console lines.
void startUpWithoutWindow(State& state);

// Hands the events in order to the controls and the mouse drag (a quit ends
// the loop after this frame, as Escape does), then plays the frame with the
// held keys.
void playInput(State& state, const FrameInput& input, BodyPainter* painter = nullptr);
