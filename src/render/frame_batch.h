#pragma once
// Every box and disc of a frame, gathered into a few draws of fills and rims.
// The picture is the one that drawing each body with its own matrix gives
// (drawSquare, drawCircle), pixel for pixel:
//  - vertices are placed in clip space by the same float operations, in the
//    same order, as OpenGL's matrices and fixed-function vertex stage apply;
//  - items go to layers, each drawn as its fills and then its rims. Within a
//    layer OpenGL keeps the walk's order among fills and among rims; the one
//    order a layer would break, a fill over an earlier rim of another colour,
//    moves the later item up a layer wherever the two may overlap.

#include <GL/gl.h>
#include <box2d/box2d.h>

#include <utility>
#include <vector>

class FrameBatch {
 public:
  // Unbatched, every box and disc is drawn at once with drawSquare or
  // drawCircle: the reference picture.
  explicit FrameBatch(bool batched = true) : batched_(batched) {}
  // Reads the projection and viewport the bodies are drawn under.
  void begin();
  // Four body-frame vertices (metres) at a world centre and angle: a fill in
  // half the colour and a 3 px rim in the full colour, as drawSquare.
  void addBox(const b2Vec2* points, const b2Vec2& center, float angle, float red, float green,
              float blue);
  // A disc shading from white at the centre to the colour at the rim, as drawCircle.
  void addDisc(const b2Vec2& center, float radius, float angle, float red, float green, float blue);
  // Draws what was gathered; call it before drawing anything outside the batch.
  void flush();
  void end() { flush(); }

 private:
  struct Vertex {
    float x, y;
    float r, g, b;
  };
  // Rows 0 and 1 of projection x model-view for one body.
  struct Placement {
    float m00, m01, m03, m10, m11, m13;
  };
  struct Layer {
    std::vector<Vertex> fills;
    std::vector<GLuint> fillIndices;
    std::vector<Vertex> rims;  // pairs of line ends
  };
  // What a square of the window holds in the highest layer that reaches it.
  struct Cell {
    int layer = -1;
    bool rims = false, colouredRims = false;
  };
  // A range of cells, inclusive.
  struct Area {
    int x0, y0, x1, y1;
  };

  Placement place(const b2Vec2& center, float angle) const;
  // A box whose corners are in clip space already.
  Layer& addCorners(Vertex* corners, float red, float green, float blue);
  // Black upright boxes in a row at the same height, each overlapping the one
  // before (the ground's columns), are drawn as the one box that spans them,
  // with those of their rims that end too near the row's ends for its box to
  // cover their last pixels: the same pixels, a fraction of the primitives.
  bool joinsTheRow(const Vertex* corners) const;
  void endTheRow();
  Vertex vertex(const Placement& m, float x, float y, float r, float g, float b) const;
  // The cells under the vertices, widened by a margin in pixels.
  Area area(const Vertex* vertices, int count, float margin) const;
  // The layer a new item joins: not below anything it may overlap, and above
  // any rim that its fill may cover in another colour.
  enum class Item { blackBox, colouredBox, disc };
  Layer& layerFor(const Area& whole, const Area& fill, Item item);

  bool batched_;
  float projection_[16] = {};
  GLint viewport_[4] = {};
  bool fused_ = false;  // whether the vertex stage fuses its multiply-adds
  int columns_ = 0, rows_ = 0;
  std::vector<Cell> cells_;
  std::vector<Layer> layers_;
  int layersUsed_ = 0;
  bool row_ = false;  // a row of black boxes is waiting in rowCorners_
  Vertex rowCorners_[4] = {};
  std::vector<std::pair<float, float>> rowBoxes_;  // each box's left and right, clip space
};
