#pragma once
// The game's picture and its scale: the size the world is laid out in, in
// pixels, and the two factors between pixels and Box2D's metres.

constexpr int WIDTH = 1280;
constexpr int HEIGHT = 940;
constexpr float M2P = 10.0f;  // pixels per metre
constexpr float P2M = 0.1f;   // metres per pixel
