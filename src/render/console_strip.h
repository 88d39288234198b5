#pragma once
// L's strip: the console's last lines in a band along the picture's bottom
// edge, right of the ship's corner, the newest at the bottom, on a background
// of its own so that no line of the world runs through the text.

#include <deque>
#include <string>

#include "render/text_panel.h"

class WindowPixels;

constexpr int kConsoleStripLines = 5;

// The band's height in overlay pixels.
int consoleStripHeight();
// lines oldest first; only the last kConsoleStripLines show, each cut to the
// box's width.
void drawConsoleStrip(const WindowPixels& window, const PanelBox& box,
                      const std::deque<std::string>& lines);
