#pragma once
// Records what a drawing routine hands to OpenGL, through OpenGL's feedback
// mode: the primitives after transformation, in window coordinates (y upward),
// with each vertex's colour. Nothing reaches the framebuffer while recording.

#include <GL/gl.h>

#include <functional>
#include <vector>

struct FedVertex {
  float x, y, r, g, b, a;
};

struct FedPrimitive {
  GLenum token;  // GL_POINT_TOKEN, GL_LINE_TOKEN / GL_LINE_RESET_TOKEN, GL_POLYGON_TOKEN
  std::vector<FedVertex> vertices;
  bool isLine() const { return token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN; }
  bool isPolygon() const { return token == GL_POLYGON_TOKEN; }
};

std::vector<FedPrimitive> feedback(const std::function<void()>& draw);
