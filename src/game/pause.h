#pragma once
// Stopped time: P stops and restarts it, O plays one frame while it is stopped.
// Both arrive as key presses, like the other keys.

struct State;
class BodyPainter;

// P.
void togglePause(State& state);

// O: while time is stopped, one more ordinary frame; otherwise nothing.
void playOneFrame(State& state);

// The frame's first step. While time is stopped and no frame is owed, paints
// the bodies as they are, with none of the walk's pushes or removals, and says
// the frame is done; otherwise takes the owed frame and says to play it.
bool holdStoppedFrame(State& state, BodyPainter* painter);
