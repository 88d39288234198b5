#pragma once
// Text: the built-in 6 x 12 bitmap font, freeglut's fonts, and the toolkit's
// display and reshape callbacks.

#include <GL/gl.h>

#include <string>

// Glyph i is character 31 + i; 12 rows, bottom row first, high bit leftmost.
extern const GLubyte GL_FONT_DATA[96][12];

// Not called by the game (nor the two below); kept for overlays and the tests.
// Draws text with its top-left corner at window pixel (x, y), 7 px per character.
// Characters outside 31 ... 126 advance as blanks.
void myText(int x, int y, const std::string& text);

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
