#pragma once
// Materials are known by their exact single-precision density. The factories store
// these constants and the renderer and the contact report compare with them.

#include <box2d/box2d.h>

constexpr float kShipDensity = 0.95f;    // the ship's hull
constexpr float kHullDensity = 0.99f;    // rectangles of addRect1, car chassis
constexpr float kCraneDensity = 5.99f;   // crane segments
constexpr float kTestDensity = 4.0f;     // the test-material polygon
constexpr float kWalkerDensity = 50.63f; // the random walker
constexpr float kGroundDensity = 0.0f;   // terrain pieces

struct Material {
  float density;
  const char* name;
};

// Rows in the order the contact report tests them; the first 13 are the metal table.
constexpr int kMetalCount = 13;
constexpr Material kMaterials[15] = {
    {0.97f, "SODIUM"},   {21.45f, "PLATINE"}, {19.3f, "OR"},        {11.35f, "PLOMB"},
    {10.5f, "ARGENT"},   {9.82f, "BISMUTH"},  {8.96f, "CUIVRE"},    {8.27f, "NICKEL"},
    {7.87f, "FER"},      {7.29f, "ETAIN"},    {7.1f, "ZINC"},       {2.7f, "ALUMINIUM"},
    {1.43f, "MAGNESIUM"}, {kWalkerDensity, "MATIERE VOLCANIQUE EN FUSION"},
    {kTestDensity, "MATERIAU DE TEST"}};

// Fills entries 0 ... 12 of the density table with the metals.
void init_TABLEAU_DES_DENSITES(float (&TABLEAU_DES_DENSITES)[100]);

// The material name for an exact density, or nullptr when none matches.
const char* materialName(float density);

// Prints the material of whatever the ship begins to touch. The ship is
// recognised only as the body of the contact's fixture A.
class myContactListener : public b2ContactListener {
 public:
  void BeginContact(b2Contact* contact) override;
  void EndContact(b2Contact* contact) override;
};
