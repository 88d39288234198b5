#include "terrain/terrain.h"

#include "base/random.h"
#include "bodies/factories.h"
#include "bodies/ship.h"
#include "bodies/walker.h"
#include "state/state.h"
#include "terrain/noise.h"

float terrainHeight(float noise) {
  const float onePlus = 1 + noise;
  return static_cast<float>(static_cast<double>(onePlus) * 0.5 * HEIGHT * 1.5);
}

void createBase(State& state) {
  for (float x = state.bordGaucheEcran; x < WIDTH; x += 1.0f)
    state.columns.push_back({CreateGround(state, static_cast<int>(x), 900, 10, 1), 0});
  state.bordGaucheEcran = WIDTH;
}

void ShiftOrigin(State& state, const b2Vec2& newOrigin) { state.world->ShiftOrigin(newOrigin); }

void update(State& state) {
  // The cursor creeps 0.001 px per column, so columns land on the same pixel for
  // a thousand frames and the cursor must stay a float.
  const float cursor = state.bordGaucheEcran;
  const int tirage = rand_a_b(1, 100);
  limitBodyBounds(state, state.ship);
  const float width = RandomFloat(1, 5);
  state.VALEUR = terrainHeight(Get2DPerlinNoiseValue(cursor, state.coefMontagne, 0.91f));

  const float top = state.VALEUR - static_cast<float>(state.decalage);
  const int X = static_cast<int>(static_cast<float>(state.decalage) + cursor);
  const int Y = static_cast<int>(top);
  // Each column lies right of those before it: they reach the left edge in this order.
  state.columns.push_back({CreateGround(state, X, Y, width, 5), 0});

  state.bordGaucheEcran = state.bordGaucheEcran + 10 * state.vitesseScrolling * 0.001f;

  const int counter = state.limiteDeTrucsQuiTombentDesMontagnes;
  if (top < 400.0f && counter % 100 == 0) {
    // Bounds given the wrong way round: the draw is always 21, the box square-ish.
    const int aa = rand_a_b(21, 20);
    const int bb = rand_a_b(21, 22);
    addRect(state, X, static_cast<int>(state.VALEUR - state.decalage - 100), aa, bb, true);
    const int y = rand_a_b(100, HEIGHT);
    addRect(state, X, y, aa, bb, false);
  }
  if (top > 100.0f && counter % 10 == 0) {
    const int radius = rand_a_b(1, 15);
    b2Body* b = addCircle(state, X, rand_a_b(0, HEIGHT), radius, true);
    const float horizontal = RandomFloat(-1.5f, 1.5f);
    const float vertical = RandomFloat(-1.5f, 1.5f);
    // Applied at the world origin, not the centre, so the circle spins too.
    b->ApplyLinearImpulse(b2Vec2(horizontal, vertical), b2Vec2(0, 0), true);
    if (state.walkerCreated && tirage >= 80)
      init_random_walker(state, X, static_cast<int>(state.VALEUR - state.decalage - 10));
  }

  if (++state.limiteDeTrucsQuiTombentDesMontagnes > 299)
    state.limiteDeTrucsQuiTombentDesMontagnes = 1;
}

void createFirstGround(State& state) {
  for (float x = state.bordGaucheEcran; x < WIDTH; x += 1.0f) {
    const float valeur = terrainHeight(Get2DPerlinNoiseValue(x, 1.7f, 320));
    CreateGround(state, static_cast<int>(x), static_cast<int>(valeur - state.decalage), 10, 1);
    if (valeur - state.decalage < 300) {
      b2Body* b = addRect(state, static_cast<int>(x - 50),
                          static_cast<int>(valeur - state.decalage - 100), 5, 5, true);
      b->ApplyLinearImpulse(b2Vec2(0, -0.02f), b2Vec2(0, 0), true);
    }
  }
  state.bordGaucheEcran = WIDTH;
}

void rewind_update(State& state) {
  const float x = state.bordGaucheEcran - WIDTH;
  const float valeur = terrainHeight(Get2DPerlinNoiseValue(x, 1.7f, 320));
  CreateGround(state, static_cast<int>(x), static_cast<int>(valeur - state.decalage), 10, 1);
  state.bordGaucheEcran = state.bordGaucheEcran - 1;
}
