#pragma once
// The picture while a resume re-plays its recording unseen: a dark window with
// a bar that fills as the frames play, what is resumed and how to cancel.

#include <string>

// Clears the picture and draws the bar at `done` of 1, with `label` above it.
void drawProgressBar(double done, const std::string& label);
