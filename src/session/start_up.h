#pragma once
struct State;

// The program's start-up without its window, for the headless replay and the
// fuzzer: the same draws, in the same order, and the same console lines.
void startUpWithoutWindow(State& state);
