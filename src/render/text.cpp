#include "render/text.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cstring>

#include "base/units.h"

namespace {
const GLubyte kBlankGlyph[kGlyphHeight] = {};
}

void myText(int x, int y, const std::string& text) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glRasterPos2i(x, y + kGlyphHeight);
  for (const char ch : text) {
    const int c = static_cast<unsigned char>(ch);
    const GLubyte* glyph = (c >= 31 && c <= 126) ? GL_FONT_DATA[c - 31] : kBlankGlyph;
    glBitmap(kGlyphWidth, kGlyphHeight, 0, 0, kGlyphAdvance, 0, glyph);
  }
}

void vBitmapOutput(int x, int y, const char* string, void* font) {
  glRasterPos2f(static_cast<GLfloat>(x), static_cast<GLfloat>(y));
  const size_t len = std::strlen(string);
  for (size_t i = 0; i < len; ++i) glutBitmapCharacter(font, string[i]);
}

void vStrokeOutput(GLfloat x, GLfloat y, const char* string, void* font) {
  glPushMatrix();
  glTranslatef(x, y, 0);
  for (const char* p = string; *p; ++p) glutStrokeCharacter(font, *p);
  glPopMatrix();
}

void vDisplay() {
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor3d(1, 1, 1);
  vBitmapOutput(0, 0, "Blanc HELVETICA", GLUT_BITMAP_HELVETICA_18);
  vBitmapOutput(10, 30, "Blanc TIMES_ROMAN", GLUT_BITMAP_9_BY_15);
  glColor3d(0.2, 0.6, 0.2);
  vBitmapOutput(-50, 130, "TEXTE ECRIT EN VERT", GLUT_BITMAP_TIMES_ROMAN_24);
  glColor3d(0.6, 0.6, 0.6);
  vStrokeOutput(-300, -200, "Gris", GLUT_STROKE_MONO_ROMAN);
  glFlush();
}

VisibleArea reshapeArea(int w, int h) {
  // The products are taken in 64 bits: a tall or wide window must not overflow.
  VisibleArea area{WIDTH, HEIGHT};
  if (w <= h) {
    if (w != 0) area.H = static_cast<int>(static_cast<long long>(h) * WIDTH / w);
  } else {
    if (h != 0) area.L = static_cast<int>(static_cast<long long>(w) * HEIGHT / h);
  }
  return area;
}

void vReshape(int w, int h) {
  glViewport(0, 0, w, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const VisibleArea area = reshapeArea(w, h);
  gluOrtho2D(-area.L / 2, area.L / 2, -area.H / 2, area.H / 2);
}
