#pragma once
// Every box and disc of a frame, gathered into one draw of fills and one of
// rims. The picture is the one that drawing each body with its own matrix
// gives (drawSquare, drawCircle), pixel for pixel:
//  - vertices are placed in clip space by the same float operations, in the
//    same order, as OpenGL's matrices and fixed-function vertex stage apply;
//  - each fill and rim gets a depth one step nearer than the one before, so
//    the depth test keeps the walk's overlaps although all fills are drawn
//    before all rims.

#include <box2d/box2d.h>
#include <GL/gl.h>

#include <vector>

class FrameBatch {
 public:
  // Unbatched, every box and disc is drawn at once with drawSquare or
  // drawCircle: the reference picture.
  explicit FrameBatch(bool batched = true) : batched_(batched) {}
  // Reads the projection the bodies are drawn under and clears the depth order.
  void begin();
  // Four body-frame vertices (metres) at a world centre and angle: a fill in
  // half the colour and a 3 px rim in the full colour, as drawSquare.
  void addBox(const b2Vec2* points, const b2Vec2& center, float angle, float red, float green,
              float blue);
  // A disc shading from white at the centre to the colour at the rim, as drawCircle.
  void addDisc(const b2Vec2& center, float radius, float angle, float red, float green,
               float blue);
  // Draws what was gathered; call it before drawing anything outside the batch.
  void flush();
  // Draws the rest and leaves the depth test off.
  void end();

 private:
  struct Vertex {
    float x, y, z;
    float r, g, b;
  };
  // Rows 0 and 1 of projection x model-view for one body.
  struct Placement {
    float m00, m01, m03, m10, m11, m13;
  };

  Placement place(const b2Vec2& center, float angle) const;
  Vertex vertex(const Placement& m, float x, float y, float z, float r, float g, float b) const;
  float nextDepth();

  bool batched_;
  float projection_[16] = {};
  bool fused_ = false;   // whether the vertex stage fuses its multiply-adds
  float depthStep_ = 0;  // 0: no depth buffer, every item is drawn at once
  float depth_ = 1;
  std::vector<Vertex> fills_;
  std::vector<GLuint> fillIndices_;
  std::vector<Vertex> rims_;
};
