#pragma once
// The game's time: stopped and restarted (P), one frame played while it is
// stopped (O), slowed and sped ([ and ]). Only the state's fields change here;
// the frame reads them when it plays.

struct State;

// P.
void togglePause(State& state);
// O: while time is stopped, one more ordinary frame; otherwise nothing.
void playOneFrame(State& state);

// [ and ]: halve and double the speed, from 1/8 to x8. The step stays one
// frame's: slow motion steps on one frame in 2, 4 or 8 and draws the frames
// between at places between the last two steps; fast forward plays 2, 4 or 8
// frames of the game a picture. Either steps the same physics as a session at
// full speed.
void slowDown(State& state);
void speedUp(State& state);
constexpr int kSlowestShift = -3, kFastestShift = 3;
