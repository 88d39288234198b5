#pragma once
// Where each overlay goes, so that none covers another nor the ship where it
// starts: the marks along the top right, F3's figures under them, F1's keys
// down the left, L's strip along the bottom right of the ship's corner. All in
// overlay pixels (window_pixels.h), from the picture's top-left corner; no
// OpenGL here, so that any window size can be laid out and checked.

#include "render/text_panel.h"

// The picture as the overlays see it.
struct OverlaySpace {
  int width, height;      // in overlay pixels
  float perPicturePixel;  // overlay pixels per pixel of the 1280 x 940 picture
};

// F3's width in characters: its panel keeps one size, so that the key list
// beside it does not move as the figures change.
constexpr int kFigureColumns = 28;
constexpr int kOverlayGap = 6;   // between overlays, and from the picture's edges
constexpr int kMarkHeight = 20;  // a mark: a line of text and its padding
constexpr int kFigurePad = 6;    // F3's padding
// The top row's right part that the marks may take, all five shown at once;
// the window's messages take the rest of the row.
constexpr int kMarksRoom = 250;

struct OverlayLayout {
  PanelBox ship;     // where the ship starts and B hangs the car: kept clear
  PanelBox marks;    // the row the marks take, right-aligned in it
  PanelBox figures;  // F3
  PanelBox keys;     // the room F1 may take; its panel may be smaller
  PanelBox console;  // L
  // The window's messages: the top row left of the marks.
  PanelBox messages;
  // The bar of the session's time, along the bottom.
  PanelBox timeline;
  PanelBox toolbar;  // the building tools, at the left edge
};

// The bar's height, from the picture's bottom edge.
constexpr int kTimelineHeight = 40;

// The boxes for the overlays that are on; an overlay that is off gets an
// empty box and gives its room to the others.
// figureRows: F3's lines, 0 while it is off. The bar, shown, takes the bottom
// edge and the others keep above it; the toolbar, shown, the left edge.
OverlayLayout layOutOverlays(const OverlaySpace& space, bool keys, int figureRows, bool console,
                             bool timeline = false, bool toolbar = false);

bool intersect(const PanelBox& a, const PanelBox& b);
