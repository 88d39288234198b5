#include "game/world_setup.h"

#include "base/console_sink.h"
#include "base/random.h"
#include "bodies/factories.h"
#include "bodies/ship.h"
#include "bodies/walker.h"
#include "state/state.h"
#include "terrain/terrain.h"

namespace {

// What Randomf_nb can give: RAND_MAX / 1000000.
constexpr float kLargestSeed = 2147.483647f;

}  // namespace

void drawLandscapeSeed(TerrainPart& terrain) {
  terrain.coefMontagne = terrain.firstDrawOfSecond = Randomf_nb();
  terrain.worldsFromSameDraw = 0;
}

void announceSkyColourSetGravity(SkyPart& part, const SkyColour& sky) {
  const float r = sky.r, g = sky.g, b = sky.b;
  if (r > g && r > b) {
    say("ATMOSPHERE A COULEUR DOMINANTE ROUGE");
  } else if (g > r && g > b) {
    say("ATMOSPHERE A COULEUR DOMINANTE VERTE");
  } else if (b > r && b > g) {
    say("ATMOSPHERE A COULEUR DOMINANTE BLEUE");
    part.GRAVITY = 2.07f;
  }
}

SkyColour drawSkyColourSetGravity(SkyPart& part) {
  SkyColour sky;
  sky.r = RandomFloat(0, 1);
  sky.g = RandomFloat(0, 1);
  sky.b = RandomFloat(0, 1);
  part.sky = sky;
  announceSkyColourSetGravity(part, sky);
  return sky;
}

void createWorld(State& state) {
  state.world = makeRegionWorld(b2Vec2(0, 9.81f));
  state.world->SetContactListener(&state.listener);
  state.world->SetDestructionListener(&state.jointListener);
  state.world->SetGravity(b2Vec2(0, state.GRAVITY));
  state.frameTimes.restart();
}

void buildFirstScene(State& state) {
  createBase(state);
  init_TABLEAU_DES_DENSITES(state.TABLEAU_DES_DENSITES);
  addRect(state, 500, 200, 20, 20, true);
  addCircle(state, 600, 200, 15, true);
  state.ship = makeShip(state, 150, 840);
  init_random_walker(state, 900, 900);
}

void announceLandscapeSeed(const TerrainPart& terrain) { say("SEED = ", terrain.coefMontagne); }

void newWorld(State& state) {
  const TerrainPart before = state;
  state.world.reset();
  static_cast<StateFields&>(state) = StateFields{};
  state.seedRepeatsWithinASecond = before.seedRepeatsWithinASecond;
  drawLandscapeSeed(state);
  // The seed depends only on the clock's second: a second N in the same second
  // would build the same world again. The draws go on along the sequence of
  // that second instead, so each world differs and a replay builds the same.
  if (!state.seedRepeatsWithinASecond && state.coefMontagne == before.firstDrawOfSecond) {
    state.worldsFromSameDraw = before.worldsFromSameDraw + 1;
    for (int n = 0; n < state.worldsFromSameDraw; ++n)
      state.coefMontagne = RandomFloat(0, kLargestSeed);
  }
  drawSkyColourSetGravity(state);
  createWorld(state);
  buildFirstScene(state);
  announceLandscapeSeed(state);
}
