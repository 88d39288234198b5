#pragma once
// F5 keeps the moment, whole (state/snapshot.h); F9 returns to it, as often
// as wanted. The kept moment lives outside the frames' fields, so going back
// in time or returning to it keeps it.

struct State;

void keepMoment(State& state);
// Nothing when no moment is kept.
void returnToKeptMoment(State& state);
