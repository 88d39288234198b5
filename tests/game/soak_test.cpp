// Thousands of frames of random key presses, held keys, pointer positions and
// mouse drags, run as the program runs them; after every frame no handle may name
// a dead body or joint.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "fixtures/handle_check.h"
#include "game/body_walk.h"
#include "game/controls.h"
#include "game/frame.h"
#include "game/keys.h"
#include "game/mouse_drag.h"
#include "game/world_setup.h"
#include "state/state.h"
#include "support/console_capture.h"
#include "support/pinned_clock.h"

namespace {

// Presses, weighted towards the car keys; 'a' stands for every key without an action.
constexpr int kPresses[] = {key::B, key::B, key::J, key::J, key::J,      key::D,
                            key::D, key::D, key::C, key::R, key::ESCAPE, 'a'};
constexpr int kHeld[] = {key::RIGHT, key::LEFT, key::UP,  key::DOWN,      key::SPACE,   key::KP0,
                         key::KP1,   key::KP2,  key::KP3, key::KP4,       key::KP5,     key::KP6,
                         key::KP7,   key::KP8,  key::KP9, key::KP_PERIOD, key::KP_ENTER};

void soak(unsigned seed, int frames) {
  std::mt19937 random(seed);
  auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(random) < p; };
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };

  // The random functions reseed from this clock; it ticks every 20 frames.
  const std::time_t firstSecond = 1000000 + seed % 100000;
  PinnedClock clock(firstSecond);
  ConsoleCapture console;
  auto state = std::make_unique<State>();
  createWorld(*state);
  buildFirstScene(*state);
  state->running = true;
  // A few floor pieces for R to work on; nothing else fills the list.
  for (b2Body* b = state->world->GetBodyList(); b; b = b->GetNext())
    if (b->GetType() == b2_staticBody && chance(0.004)) state->BODY.push_back(b);

  std::array<unsigned char, key::COUNT> keys{};
  for (int frame = 0; frame < frames; ++frame) {
    clock.set(firstSecond + frame / 20);
    const int x = pick(WIDTH), y = pick(HEIGHT);
    while (chance(0.08)) onKeyPress(*state, kPresses[pick(std::size(kPresses))], x, y);
    // The left button goes down on some moving body (the ship or a car perhaps),
    // drags it about and lets go; D and the removals may take it first.
    if (!grabbing(*state) && chance(0.03)) {
      std::vector<const b2Body*> moving;
      for (const b2Body* b = state->world->GetBodyList(); b; b = b->GetNext())
        if (b->GetType() == b2_dynamicBody) moving.push_back(b);
      const b2Vec2 p = M2P * moving[pick(static_cast<int>(moving.size()))]->GetWorldCenter();
      grabBody(*state, static_cast<int>(p.x), static_cast<int>(p.y));
    } else if (grabbing(*state)) {
      if (chance(0.03)) releaseBody(*state);
      else dragBody(*state, x, y);
    }
    for (int k : kHeld)
      if (chance(k == key::SPACE ? 0.03 : 0.06)) keys[k] = !keys[k];
    playFrame(*state, keys.data());
    ASSERT_TRUE(handlesNameLiveObjects(*state)) << "after frame " << frame;
    if (frame % 200 == 0) console.clear();
  }
}

}  // namespace

TEST(Soak, RandomPlayNeverLeavesAHandleOnADeadBodyOrJoint) {
  // SKYHOOK_SOAK_SEED replays one seed.
  std::vector<unsigned> seeds = {1, 2, 3};
  if (const char* chosen = std::getenv("SKYHOOK_SOAK_SEED"))
    seeds = {static_cast<unsigned>(std::strtoul(chosen, nullptr, 10))};
  for (unsigned seed : seeds) {
    SCOPED_TRACE("soak seed " + std::to_string(seed) + " (replay with SKYHOOK_SOAK_SEED)");
    soak(seed, 1000);
    if (HasFatalFailure()) return;
  }
}
