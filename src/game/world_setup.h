#pragma once
// The GL-free part of start-up: landscape seed, sky colour and gravity, the world,
// the first scene.

#include "state/parts.h"

struct State;

// The first draw of start-up, from a generator freshly seeded from the clock:
// the landscape seed coefMontagne.
void drawLandscapeSeed(TerrainPart& terrain);

// Prints the dominant colour, if one component is strictly largest; a blue sky
// lowers GRAVITY to 2.07.
void announceSkyColourSetGravity(SkyPart& part, const SkyColour& sky);

// Draws red, green and blue in that order, then announces them.
SkyColour drawSkyColourSetGravity(SkyPart& part);

// Creates the world with 9.81 m/s2, registers the listeners, sets GRAVITY;
// F3's figures start again from it.
void createWorld(State& state);

// Floor, density table, one box, one circle, the ship and perhaps a walker.
void buildFirstScene(State& state);

// The last line of start-up: "SEED = " and the landscape seed.
void announceLandscapeSeed(const TerrainPart& terrain);

// N: the state torn down and built again as at start-up, the same draws in the
// same order and the same console lines (a second N within one second goes on
// along that second's draws, so that it builds another world); only F5's kept
// moment stays.
void newWorld(State& state);
