#include "render/text.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "fixtures/gl_window.h"
#include "state/state.h"

namespace {

const GLubyte* glyph(int code) { return GL_FONT_DATA[code - 31]; }

bool rowIsBlank(int code, int row) { return glyph(code)[row] == 0; }

}  // namespace

TEST(FontData, GivenGlyphsByteForByte) {
  const std::vector<std::pair<int, std::vector<GLubyte>>> given = {
      {'A', {0x00, 0x00, 0x00, 0x88, 0x88, 0xF8, 0x50, 0x50, 0x20, 0x20, 0x20, 0x00}},
      {'g', {0x00, 0x70, 0x08, 0x68, 0x98, 0x88, 0x88, 0x88, 0x78, 0x00, 0x00, 0x00}},
      {' ', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {31, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD8, 0xD8, 0x90, 0x48, 0x00}},
  };
  for (const auto& [code, bytes] : given)
    EXPECT_EQ(std::vector<GLubyte>(glyph(code), glyph(code) + 12), bytes) << "glyph " << code;
}

TEST(FontData, EveryGlyphFollowsTheLayout) {
  std::set<std::vector<GLubyte>> seen;
  for (int code = 31; code <= 126; ++code) {
    SCOPED_TRACE(std::string("character ") + static_cast<char>(code) + " (" + std::to_string(code) +
                 ")");
    for (int row = 0; row < 12; ++row)
      EXPECT_EQ(glyph(code)[row] & 0x03, 0) << "only the six high bits are used, row " << row;
    if (code == ' ') continue;

    const std::vector<GLubyte> bytes(glyph(code), glyph(code) + 12);
    EXPECT_NE(bytes, std::vector<GLubyte>(12, 0)) << "printable glyph is empty";
    EXPECT_TRUE(seen.insert(bytes).second) << "two characters share one bitmap";

    if (std::isalnum(code)) {
      EXPECT_TRUE(rowIsBlank(code, 11)) << "top row of a letter or digit";
    }
    if (std::isupper(code) || std::isdigit(code)) {
      EXPECT_FALSE(rowIsBlank(code, 3)) << "stands on row 3";
      EXPECT_FALSE(rowIsBlank(code, 10)) << "reaches row 10";
      EXPECT_TRUE(rowIsBlank(code, 0));
      if (code != 'Q') {
        EXPECT_TRUE(rowIsBlank(code, 1) && rowIsBlank(code, 2));
      }
    }
  }
  for (const char c : std::string("Qgjpqy")) {
    EXPECT_FALSE(rowIsBlank(c, 1)) << c << " descends to row 1";
    EXPECT_TRUE(rowIsBlank(c, 0)) << c << " stops at row 1";
  }
  for (const char c : std::string("()[]{}"))
    EXPECT_FALSE(rowIsBlank(c, 0)) << c << " reaches row 0";
}

TEST(ReshapeArea, KeepsAtLeastTheWindowAreaWithSquarePixels) {
  struct Case {
    int w, h, L, H;
  };
  const Case cases[] = {
      {1280, 940, 1280, 940},
      {940, 1280, 1280, 1742},
      {0, 0, 1280, 940},
      {1920, 940, 1920, 940},
      {2000, 1000, 1880, 940},
      {1000, 500, 1880, 940},
      {640, 640, 1280, 1280},
      {100, 0, 1280, 940},
      {0, 100, 1280, 940},
      // Products past the int range are still taken exactly.
      {3000000, 4000000, 1280, 1706},
  };
  for (const Case& c : cases) {
    const VisibleArea area = reshapeArea(c.w, c.h);
    EXPECT_EQ(area.L, c.L) << c.w << " x " << c.h;
    EXPECT_EQ(area.H, c.H) << c.w << " x " << c.h;
  }
}

class TextTest : public GlWindowTest {
 protected:
  void TearDown() override { glViewport(0, 0, WIDTH, HEIGHT); }

  // Whether the glyph's pixels, and the blank column after it, appear with the
  // glyph's lower-left corner at (x, bottom) of the y-downward projection.
  void expectGlyphAt(int code, int x, int bottom, const Rgb& ink, const Rgb& paper) {
    for (int row = 0; row < 12; ++row)
      for (int col = 0; col < 7; ++col) {
        const bool inked = col < 6 && (glyph(code)[row] & (0x80 >> col)) != 0;
        EXPECT_EQ(pixel(x + col, bottom - 1 - row), inked ? ink : paper)
            << "glyph " << code << " row " << row << " column " << col;
      }
  }

  int countPixels(int x0, int y0, int x1, int y1, const Rgb& colour) {
    std::vector<unsigned char> rgba(static_cast<size_t>((x1 - x0) * (y1 - y0)) * 4);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x0, HEIGHT - y1, x1 - x0, y1 - y0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int n = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
      n += near(Rgb{rgba[i], rgba[i + 1], rgba[i + 2]}, colour, 2);
    return n;
  }

  static std::vector<double> matrix(GLenum which) {
    std::vector<double> m(16);
    glGetDoublev(which, m.data());
    return m;
  }
};

TEST_F(TextTest, DrawsEachCharacterSevenPixelsAfterThePrevious) {
  const Rgb black{0, 0, 0}, white{255, 255, 255};
  glColor3f(1, 1, 1);
  myText(100, 200, "AB");
  expectGlyphAt('A', 100, 212, white, black);
  expectGlyphAt('B', 107, 212, white, black);
  for (int col = 99; col < 116; ++col) {
    EXPECT_EQ(pixel(col, 199), black) << "above the band, column " << col;
    EXPECT_EQ(pixel(col, 212), black) << "below the band, column " << col;
  }
  GLfloat raster[4];
  glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
  EXPECT_FLOAT_EQ(raster[0], 114);
  EXPECT_FLOAT_EQ(raster[1], HEIGHT - 212);
}

TEST_F(TextTest, EmptyTextOnlyMovesTheRasterPosition) {
  glColor3f(1, 1, 1);
  myText(300, 400, "");
  EXPECT_EQ(countPixels(0, 0, WIDTH, HEIGHT, Rgb{0, 0, 0}), WIDTH * HEIGHT);
  GLfloat raster[4];
  glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
  EXPECT_FLOAT_EQ(raster[0], 300);
  EXPECT_FLOAT_EQ(raster[1], HEIGHT - 412);
  GLint alignment = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  EXPECT_EQ(alignment, 1);
}

TEST_F(TextTest, CharactersOutsideTheTableAdvanceAsBlanks) {
  const Rgb black{0, 0, 0}, white{255, 255, 255};
  glColor3f(1, 1, 1);
  // Control characters, DEL and bytes with the high bit set have no glyph.
  const std::string outside = std::string("\x01\x1e\x7f\x80\xe9\xff", 6);
  myText(50, 60, "A" + outside + "B");
  expectGlyphAt('A', 50, 72, white, black);
  const int bStart = 50 + 7 * (1 + static_cast<int>(outside.size()));
  EXPECT_EQ(countPixels(57, 60, bStart, 72, white), 0);
  expectGlyphAt('B', bStart, 72, white, black);
}

TEST_F(TextTest, ReshapeCentresAnAspectCorrectProjection) {
  struct Case {
    int w, h;
    double L, H;
  };
  for (const Case& c : {Case{1280, 940, 1280, 940}, Case{940, 1280, 1280, 1742},
                        Case{0, 0, 1280, 940}, Case{2000, 1000, 1880, 940}}) {
    SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
    glMatrixMode(GL_MODELVIEW);
    vReshape(c.w, c.h);
    GLint mode = 0, viewport[4];
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], c.w);
    EXPECT_EQ(viewport[3], c.h);
    const std::vector<double> m = matrix(GL_PROJECTION_MATRIX);
    EXPECT_NEAR(m[0], 2 / c.L, 1e-9);
    EXPECT_NEAR(m[5], 2 / c.H, 1e-9);
    EXPECT_NEAR(m[12], 0, 1e-9);
    EXPECT_NEAR(m[13], 0, 1e-9);
  }
}

TEST_F(TextTest, DisplayDrawsItsLabelsAroundTheCentre) {
  clearTo(0.5f, 0.5f, 0.5f);
  vReshape(WIDTH, HEIGHT);
  glMatrixMode(GL_MODELVIEW);
  vDisplay();
  // The centred projection puts (0, 0) at window pixel (640, 470), y upward.
  EXPECT_EQ(pixel(5, 5), (Rgb{0, 0, 0})) << "cleared to black";
  EXPECT_GT(countPixels(640, 452, 800, 471, Rgb{255, 255, 255}), 20) << "HELVETICA label";
  EXPECT_GT(countPixels(650, 428, 820, 441, Rgb{255, 255, 255}), 20) << "9 x 15 label";
  EXPECT_GT(countPixels(590, 315, 900, 341, rgb(0.2f, 0.6f, 0.2f)), 20) << "green label";
  EXPECT_GT(countPixels(340, 560, 700, 671, rgb(0.6f, 0.6f, 0.6f)), 20) << "stroke label";
  EXPECT_EQ(countPixels(0, 700, WIDTH, HEIGHT, Rgb{0, 0, 0}), WIDTH * (HEIGHT - 700))
      << "nothing drawn below the labels";
}
