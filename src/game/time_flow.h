#pragma once
// The game's time: stopped and restarted (P), one frame played while it is
// stopped (O), slowed and sped ([ and ]). Only the time's part of the state
// changes here; the frame reads it when it plays.

#include "state/parts.h"

// P.
void togglePause(TimePart& time);
// O: while time is stopped, one more ordinary frame; otherwise nothing.
void playOneFrame(TimePart& time);

// [ and ]: halve and double the speed, from 1/8 to x8. The step stays one
// frame's: slow motion steps on one frame in 2, 4 or 8 and draws the frames
// between at places between the last two steps; fast forward plays 2, 4 or 8
// frames of the game a picture. Either steps the same physics as a session at
// full speed.
void slowDown(TimePart& time);
void speedUp(TimePart& time);
constexpr int kSlowestShift = -3, kFastestShift = 3;
