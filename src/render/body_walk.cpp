#include "render/body_walk.h"

#include "app/state.h"
#include "terrain/random.h"

namespace {

void pushWalker(b2Body* body) {
  const int choice = rand_a_b(1, 5);
  // The force acts at the world origin, not the body's centre: the walker hops and spins.
  if (choice == 4) body->ApplyForce(b2Vec2(0, -100), b2Vec2(0, 0), true);
}

}  // namespace

void walkBodies(State& state, BodyPainter* painter) {
  b2Body* body = state.world->GetBodyList();
  while (body) {
    b2Body* next = body->GetNext();
    const b2Fixture* fixture = body->GetFixtureList();
    if (painter) painter->paint(body);
    if (fixture && fixture->GetType() == b2Shape::e_polygon &&
        fixture->GetDensity() == kWalkerDensity)
      pushWalker(body);
    if (body->GetPosition().x <= 0) destroyBody(state, body);
    body = next;
  }
}
