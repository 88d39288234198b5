#pragma once

// Two-dimensional gradient noise over a 256-periodic lattice of cell size res.
// Pure: the same arguments always give the same value, within +-1/sqrt(2).
float Get2DPerlinNoiseValue(float x, float y, float res);
