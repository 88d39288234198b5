#pragma once
// The toolbar down the picture's left edge: an icon and a name for each tool,
// the one chosen lit, and the metal of what is built with its colour; and,
// in the world's place, the outline of what the left button is building.
// Boxes and rows in overlay pixels (window_pixels.h), from the picture's
// top-left corner; the toolbar's place needs no OpenGL, so that the app can
// tell a click on it from one on the world.

#include "render/text_panel.h"

class WindowPixels;
struct BuildPart;

// Where the toolbar goes: at the left edge, under the row of the marks.
PanelBox toolbarBox();
// The row at an overlay pixel: a tool's (its Tool's number), the metal's
// (kToolCount), or -1 off the toolbar.
int toolbarRowAt(int x, int y);

void drawToolbar(const WindowPixels& window, const BuildPart& build);

// Under the camera's projection, in the picture's pixels: the box, ball,
// plank or rope that the left button would build if let go now.
void drawBuildOutline(const BuildPart& build);
