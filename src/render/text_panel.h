#pragma once
// A text panel: lines of the built-in font on a plain background in a corner
// of the picture, laid out in overlay pixels (window_pixels.h). F1's keys,
// F3's figures, L's console strip and the PAUSE, speed and REPLAY marks are
// each one; each says only its lines, its corner, its padding and colours.

#include <string>
#include <vector>

#include "base/materials.h"

class WindowPixels;

enum class Corner { topLeft, topRight, bottomLeft };

// Lines drawn one under another from the panel's first row: most panels have
// one column; F1's has the keys and, beside them, their actions.
struct TextColumn {
  std::vector<std::string> lines;
  Colour ink;
  int x = 0;  // from the text's left edge, in pixels
};

struct TextPanel {
  std::vector<TextColumn> columns;
  Corner corner = Corner::topLeft;
  int across = 0, down = 0;  // the panel's edges from the corner's, in pixels
  int pad = 0;               // between the background's edge and the text
  int width = 0;             // 0: just wide enough for the text
  Colour background;
  float opacity = 1;  // the background's; below 1 the picture shows through
};

// The panel's place in the picture, in overlay pixels.
struct PanelBox {
  int x, y, width, height;
};

// The size of text in pixels: `columns` characters without the last one's
// blank column, `lines` lines without the last one's blank rows.
int textWidth(size_t columns);
int textHeight(size_t lines);

// Where the panel goes in a picture of this size (overlay pixels): high
// enough for the longest column.
PanelBox placeTextPanel(int pictureWidth, int pictureHeight, const TextPanel& panel);
// Draws the background where placeTextPanel puts it, then the text.
PanelBox drawTextPanel(const WindowPixels& window, const TextPanel& panel);
