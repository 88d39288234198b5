#pragma once
#include "game/world_setup.h"

struct State;

// The program's start-up without its window, for the headless replay, a resumed
// session and the fuzzer: the same draws, in the same order, and the same
// console lines. The sky's colour, for a window opened afterwards.
SkyColour startUpWithoutWindow(State& state);
