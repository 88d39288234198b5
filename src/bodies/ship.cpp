#include "bodies/ship.h"

#include "base/console_sink.h"
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
  say(density);
  return body;
}

void limitBodyBounds(ShipPart& ship, b2Body* b) {
  if (!b) return;
  // A centre within 1 cm of an edge, or past it, goes back 10 cm inside.
  constexpr float kEdge = 0.01f, kInside = 0.1f;
  constexpr float kRight = WIDTH * P2M, kBottom = HEIGHT * P2M;
  const b2Vec2 p = b->GetPosition();
  if (p.x <= kEdge) {
    b->SetTransform(b2Vec2(kInside, p.y), 0);
    ship.vitesseShipHorizontale = 0;
  } else if (p.x >= kRight - kEdge) {
    // The right and bottom edges too: a ship flown out there could not be found again.
    b->SetTransform(b2Vec2(kRight - kInside, p.y), 0);
    ship.vitesseShipHorizontale = 0;
  }
  if (p.y <= kEdge) {
    b->SetTransform(b2Vec2(b->GetPosition().x, kInside), 0);
    ship.vitesseShipVerticale = 0;
  } else if (p.y >= kBottom - kEdge) {
    b->SetTransform(b2Vec2(b->GetPosition().x, kBottom - kInside), 0);
    ship.vitesseShipVerticale = 0;
  }
}
