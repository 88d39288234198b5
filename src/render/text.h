#pragma once
// Text: the built-in 6 x 12 bitmap font, freeglut's fonts, and the toolkit's
// display and reshape callbacks.

#include <GL/gl.h>

#include <string>

// The built-in font's metrics in pixels, for everything that lays text out.
constexpr int kGlyphWidth = 6, kGlyphHeight = 12;
constexpr int kGlyphAdvance = 7;  // a glyph and a blank column
constexpr int kLineHeight = 14;   // a glyph and two blank rows

// Glyph i is character 31 + i; 12 rows, bottom row first, high bit leftmost.
extern const GLubyte GL_FONT_DATA[96][kGlyphHeight];

// Draws text with its top-left corner at window pixel (x, y), 7 px per character.
// Characters outside 31 ... 126 advance as blanks. The overlays' text goes
// through it (WindowPixels::text) wherever an overlay pixel is a window pixel.
void myText(int x, int y, const std::string& text);

// freeglut's fonts; only vDisplay below draws with them.
void vBitmapOutput(int x, int y, const char* string, void* font);
void vStrokeOutput(GLfloat x, GLfloat y, const char* string, void* font);

// freeglut's display and reshape callbacks. main registers them, but SDL owns the
// window and freeglut's loop never runs, so they are never called by the game.
void vDisplay();
void vReshape(int w, int h);

// The visible width and height that vReshape gives a w x h window.
struct VisibleArea {
  int L, H;
};
VisibleArea reshapeArea(int w, int h);
