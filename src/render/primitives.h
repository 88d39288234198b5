#pragma once
// Immediate drawing of world shapes under the window-pixel projection.

#include <box2d/box2d.h>

// A disc shading from white at the centre to (red, green, blue) at the rim;
// centre and radius in metres.
void drawCircle(const b2Vec2& center, float r, float angle, float red, float green, float blue);

// Four body-frame vertices (metres) around a world centre: a fill in half the
// colour and a 3 px outline in the full colour.
void drawSquare(const b2Vec2* points, const b2Vec2& center, float angle, float red, float green,
                float blue);

// A filled polygon in window pixels (at most 8 vertices) with a black 3 px outline.
void DrawSolidPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color);

// A 1 px segment between two window-pixel vertices. Not called by the game.
void drawLine(const b2Vec2* vertices, const b2Color& color);

// Radians to the degrees glRotatef takes, through double precision.
float toDegrees(float angle);
