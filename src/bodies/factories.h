#pragma once
// Factories that put one body with one fixture into the world. Positions and
// sizes are window pixels, converted to metres with P2M.

#include <box2d/box2d.h>

struct State;

b2Body* addCircle(State& state, int x, int y, int r, bool dyn);
b2Body* addWheel(State& state, int x, int y, int r, bool dyn);
b2Body* addRect(State& state, int x, int y, int w, int h, bool dyn);   // random metal
b2Body* addRect1(State& state, int x, int y, int w, int h, bool dyn);  // hull, density 0.99
b2Body* addPolygon(State& state, float x, float y);                    // test material
b2Body* CreateGround(State& state, int x, int y, float w, float h);

// The metal table entry that a draw of 0 ... 100 selects.
int metalIndexForDraw(int tirage);
