#pragma once
// Factories that put one body with one fixture into the world. Positions and
// sizes are window pixels, converted to metres with P2M.

#include <box2d/box2d.h>

struct State;

b2Body* addCircle(State& state, int x, int y, int r, bool dyn);
b2Body* addWheel(State& state, int x, int y, int r, bool dyn);
b2Body* addRect(State& state, int x, int y, int w, int h, bool dyn);   // random metal
b2Body* addRect1(State& state, int x, int y, int w, int h, bool dyn);  // hull, density 0.99
// The test-material polygon; not made by the game, kept for scenes built by hand.
b2Body* addPolygon(State& state, float x, float y);
b2Body* CreateGround(State& state, int x, int y, float w, float h);

// One body with one box fixture; position and half sizes in metres. The
// factories above and the crane and walker build their boxes with it.
b2Body* makeBoxBody(State& state, b2BodyType type, const b2Vec2& position, float halfWidth,
                    float halfHeight, float density, float friction, float restitution);

// The metal table entry that a draw of 0 ... 100 selects.
int metalIndexForDraw(int tirage);
