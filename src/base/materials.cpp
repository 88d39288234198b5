#include "base/materials.h"

#include "base/console_sink.h"

void init_TABLEAU_DES_DENSITES(float (&TABLEAU_DES_DENSITES)[100]) {
  for (int i = 0; i < kMetalCount; ++i) TABLEAU_DES_DENSITES[i] = kMetals[i].density;
}

const char* materialName(float density) {
  for (const Metal& m : kMetals)
    if (m.density == density) return m.name;
  if (density == kWalkerDensity) return kWalkerName;
  if (density == kTestDensity) return kTestMaterialName;
  return nullptr;
}

void myContactListener::BeginContact(b2Contact* contact) {
  const b2Body* A = contact->GetFixtureA()->GetBody();
  const b2Body* B = contact->GetFixtureB()->GetBody();
  // The body's first fixture identifies it, not the fixture that touches.
  if (A->GetFixtureList()->GetDensity() != kShipDensity) return;
  if (const char* name = materialName(B->GetFixtureList()->GetDensity())) say(name);
}
