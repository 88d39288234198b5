#include "bodies/walker.h"

#include "base/random.h"
#include "bodies/factories.h"
#include "state/state.h"

void init_random_walker(State& state, int x, int y) {
  const int choice = rand_a_b(1, 100);
  if (choice <= 49) return;
  state.randomWalker = makeBoxBody(state, b2_dynamicBody, b2Vec2(x * P2M, y * P2M), 0.3f, 0.25f,
                                   kWalkerDensity, 0.2f, 0);
  state.walkerCreated = true;
}
