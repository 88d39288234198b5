#pragma once
struct State;

struct SkyColour;

// Once, after the window exists: pixel projection, sky colour, world, first scene.
void init(State& state);

// For a world built before the window (a resumed session): the pixel projection
// and the sky's colour.
void initView(const SkyColour& sky);
