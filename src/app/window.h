#pragma once
// The SDL window with its OpenGL context, and freeglut for the text routines:
// opened the same way by the program and by the screenshot tool.

// Opens the 1280 x 940 OpenGL window. On failure prints one line naming the
// display and SDL's reason on standard error, and returns false.
bool openWindow();

// Initialises freeglut, which the sandbox uses for its fonts only.
void initText(int& argc, char** argv);
