#pragma once
// F3's panel: the figures in the bottom-left corner, opposite the PAUSE mark,
// on a plain dark background, above the console strip when that shows.

#include <string>
#include <vector>

// lines from figureLines; bottomMargin keeps the panel clear of what lies
// along the picture's bottom edge (window pixels).
void drawFiguresPanel(const std::vector<std::string>& lines, int bottomMargin);
