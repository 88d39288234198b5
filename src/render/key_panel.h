#pragma once
// F1's panel: every key and what it does, from the program's one list of keys,
// on a plain dark background that reads on any sky. In the room the layout
// gives it, the rows flow into as many columns as fit side by side, and into
// pages when they do not all fit; a mark says which page shows and how to
// turn them.

#include <vector>

#include "render/text_panel.h"

class WindowPixels;

// The panel's pages for a room of this size (overlay pixels): each a panel
// placed at the room's top-left corner, just large enough for its rows.
// Never empty; each key row is on exactly one page, whole.
std::vector<TextPanel> keyPanelPages(const PanelBox& room);

// The width of the narrowest page: a room narrower than this is overrun.
int keyPanelNarrowest();

// Draws page `page` (clamped to the pages there are); says how many there are
// and where the panel went.
struct KeyPanelDrawn {
  int pages;
  PanelBox box;
};
KeyPanelDrawn drawKeyPanel(const WindowPixels& window, const PanelBox& room, int page);
