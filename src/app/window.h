#pragma once
// The SDL window with its OpenGL context, and freeglut for the text routines:
// opened the same way by the program and by the screenshot tool.

#include "base/units.h"

// Starts SDL, once per process. Without a sound card SDL's sound drivers would
// complain on standard error: the dummy one is used unless the user names one.
// On failure prints one line naming the display and SDL's reason on standard
// error, and returns false.
bool startVideo();

struct DesktopSize {
  int width = 0, height = 0;  // 0 when SDL cannot tell
};

// The desktop's size: valid after startVideo and before the first openWindow.
DesktopSize desktopSize();

struct WindowMode {
  int width = WIDTH, height = HEIGHT;
  bool fullscreen = false;
};

// Opens the OpenGL window titled "Skyhook - F1: keys" with the program's icon, or gives it
// a new mode; starts SDL first if needed. A new mode may come with a new
// OpenGL context, whose state the caller sets again. On failure prints one
// line with SDL's reason on standard error, and returns false.
bool openWindow(const WindowMode& mode = {});

// Initialises freeglut, which the sandbox uses for its fonts only. It is given
// the program's name alone: the command line is the program's own.
void initText(int& argc, char** argv);
