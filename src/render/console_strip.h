#pragma once
// L's strip: the console's last lines in a translucent band along the
// picture's bottom edge, the newest at the bottom.

#include <deque>
#include <string>

constexpr int kConsoleStripLines = 5;

// The band's height in window pixels.
int consoleStripHeight();
// lines oldest first; only the last kConsoleStripLines show, each cut to the
// picture's width.
void drawConsoleStrip(const std::deque<std::string>& lines);
