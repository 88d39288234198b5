#include "bodies/walker.h"

#include "app/state.h"
#include "terrain/random.h"

void init_random_walker(State& state, int x, int y) {
  const int choice = rand_a_b(1, 100);
  if (choice <= 49) return;
  b2BodyDef def;
  def.type = b2_dynamicBody;
  def.position.Set(x * P2M, y * P2M);
  state.randomWalker = state.world->CreateBody(&def);
  state.walkerCreated = true;
  b2PolygonShape shape;
  shape.SetAsBox(0.3f, 0.25f);
  b2FixtureDef fixture;
  fixture.shape = &shape;
  fixture.density = kWalkerDensity;
  fixture.restitution = 0;
  state.randomWalker->CreateFixture(&fixture);
}
