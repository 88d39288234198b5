#pragma once
// Debug drawing of physics shapes, one immediate-mode primitive per call. The
// game calls none of them.
// Coordinates go to OpenGL unchanged: under the window projection they are
// pixels, so a caller holding metres multiplies by M2P first.
//
// GL state left behind: the current colour is the last one set; the solid
// routines leave GL_BLEND disabled; DrawPointDebugDraw leaves the point size at 1.

#include <box2d/box2d.h>

void DrawPolygonDebugDraw(const b2Vec2* vertices, int32 vertexCount, const b2Color& color);
// A translucent fill (half the colour at alpha 0.5) under an opaque outline.
void DrawSolidPolygonDebugDraw(const b2Vec2* vertices, int32 vertexCount, const b2Color& color);
// A 16-sided outline.
void DrawCircleDebugDraw(const b2Vec2& center, float radius, const b2Color& color);
// A translucent 16-sided disc, its outline, and a radius towards `axis`.
void DrawSolidCircleDebugDraw(const b2Vec2& center, float radius, const b2Vec2& axis,
                              const b2Color& color);
void DrawSegmentDebugDraw(const b2Vec2& p1, const b2Vec2& p2, const b2Color& color);
// The frame's x axis in red and y axis in green, 0.4 units long.
void DrawTransformDebugDraw(const b2Transform& xf);
void DrawPointDebugDraw(const b2Vec2& p, float size, const b2Color& color);
void DrawAABBDebugDraw(const b2AABB* aabb, const b2Color& c);
