#pragma once
// F3's panel: the figures in the box the layout gives it (the top-right
// corner, under the marks), on a plain dark background, one size whatever
// the figures say.

#include <string>
#include <vector>

#include "render/text_panel.h"

class WindowPixels;

// lines from figureLines and the view's own; each is cut to the box's width.
void drawFiguresPanel(const WindowPixels& window, const PanelBox& box,
                      const std::vector<std::string>& lines);
