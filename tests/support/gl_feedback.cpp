#include "support/gl_feedback.h"

#include <gtest/gtest.h>

std::vector<FedPrimitive> feedback(const std::function<void()>& draw) {
  std::vector<GLfloat> buffer(1 << 14);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
  glRenderMode(GL_FEEDBACK);
  draw();
  const GLint n = glRenderMode(GL_RENDER);
  EXPECT_GE(n, 0) << "feedback buffer overflow";
  std::vector<FedPrimitive> out;
  for (GLint i = 0; i < n;) {
    FedPrimitive p{static_cast<GLenum>(buffer[i++]), {}};
    int count = 0;
    if (p.token == GL_POINT_TOKEN) count = 1;
    if (p.isLine()) count = 2;
    if (p.isPolygon()) count = static_cast<int>(buffer[i++]);
    for (int k = 0; k < count; ++k, i += 7)  // x, y, z, r, g, b, a
      p.vertices.push_back(
          {buffer[i], buffer[i + 1], buffer[i + 3], buffer[i + 4], buffer[i + 5], buffer[i + 6]});
    out.push_back(p);
  }
  return out;
}
