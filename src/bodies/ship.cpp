#include "bodies/ship.h"

#include <iostream>

#include "bodies/factories.h"
#include "state/state.h"

b2Body* makeShip(State& state, int x, int y) {
  const int largeur = 150;
  const int hauteur = 30;
  b2Body* body = addRect1(state, x, y, largeur, hauteur, true);
  body->SetFixedRotation(true);
  body->SetGravityScale(0);
  b2Fixture* F = body->GetFixtureList();
  const float density = kShipDensity;
  F->SetDensity(density);
  body->ResetMassData();
  std::cout << density << std::endl;
  return body;
}

void limitBodyBounds(State& state, b2Body* b) {
  if (!b) return;
  const b2Vec2 p = b->GetPosition();
  if (p.x <= 0.01f) {
    b->SetTransform(b2Vec2(0.1f, p.y), 0);
    state.vitesseShipHorizontale = 0;
  }
  if (p.y <= 0.01f) {
    b->SetTransform(b2Vec2(b->GetPosition().x, 0.1f), 0);
    state.vitesseShipVerticale = 0;
  }
}
