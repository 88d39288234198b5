#pragma once
// F5 keeps the moment, whole (state/snapshot.h); F9 returns to it, as often
// as wanted. Going back in time brings back the moment kept then (none
// before the first F5).

struct State;

void keepMoment(State& state);
// Nothing when no moment is kept.
void returnToKeptMoment(State& state);
