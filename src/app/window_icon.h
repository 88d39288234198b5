#pragma once
// The window's icon: the program's own art (data/skyhook.svg), rendered at
// build time.

// Hands the icon to SDL; call it before the first video mode.
void setWindowIcon();
