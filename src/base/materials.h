#pragma once
// Materials are known by their exact single-precision density. The factories store
// these constants and the renderer and the contact report compare with them.

#include <box2d/box2d.h>

constexpr float kShipDensity = 0.95f;     // the ship's hull
constexpr float kHullDensity = 0.99f;     // rectangles of addRect1, car chassis
constexpr float kCraneDensity = 5.99f;    // crane segments
constexpr float kTestDensity = 4.0f;      // the test-material polygon
constexpr float kWalkerDensity = 50.63f;  // the random walker
constexpr float kGroundDensity = 0.0f;    // terrain pieces

struct Colour {
  float red, green, blue;
};

struct Metal {
  float density;
  const char* name;  // printed when the ship touches it
  Colour colour;     // drawn dark inside, bright at the rim
};

// The metals, in the order the renderer and the contact report test them;
// the box factory's density table holds the same densities in this order.
constexpr int kMetalCount = 13;
constexpr Metal kMetals[kMetalCount] = {
    {0.97f, "SODIUM", {0.5f, 0.4f, 0.0f}},   {21.45f, "PLATINE", {0.4f, 0.5f, 0.5f}},
    {19.3f, "OR", {0.8f, 0.8f, 0.0f}},       {11.35f, "PLOMB", {0.3f, 0.3f, 0.3f}},
    {10.5f, "ARGENT", {0.6f, 0.6f, 0.6f}},   {9.82f, "BISMUTH", {0.1f, 0.6f, 0.8f}},
    {8.96f, "CUIVRE", {0.2f, 0.3f, 0.0f}},   {8.27f, "NICKEL", {0.9f, 0.9f, 0.9f}},
    {7.87f, "FER", {0.8f, 0.8f, 0.8f}},      {7.29f, "ETAIN", {0.9f, 0.9f, 0.8f}},
    {7.1f, "ZINC", {0.8f, 0.5f, 0.5f}},      {2.7f, "ALUMINIUM", {0.5f, 0.6f, 0.7f}},
    {1.43f, "MAGNESIUM", {0.8f, 0.6f, 0.7f}}};

// The walker is no metal but has a name and a colour of its own; the test
// material has a name and no colour.
constexpr const char* kWalkerName = "MATIERE VOLCANIQUE EN FUSION";
constexpr Colour kWalkerColour = {1.0f, 0.0f, 0.3f};
constexpr const char* kTestMaterialName = "MATERIAU DE TEST";

// Fills entries 0 ... 12 of the density table with the metals.
void init_TABLEAU_DES_DENSITES(float (&TABLEAU_DES_DENSITES)[100]);

// The material name for an exact density, or nullptr when none matches.
const char* materialName(float density);

// Prints the material of whatever the ship begins to touch. The ship is
// recognised only as the body of the contact's fixture A.
class myContactListener : public b2ContactListener {
 public:
  void BeginContact(b2Contact* contact) override;
};
