#pragma once
// OpenGL units become window pixels of the 1280 x 940 picture, y downward.
void usePixelProjection();
