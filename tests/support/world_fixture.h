#pragma once
// A fresh state with its world, listeners and density table, and no scene.

#include <gtest/gtest.h>

#include "app/state.h"
#include "app/world_setup.h"
#include "app/world_step.h"

class WorldTest : public ::testing::Test {
 protected:
  WorldTest() {
    createWorld(state);
    init_TABLEAU_DES_DENSITES(state.TABLEAU_DES_DENSITES);
  }

  int bodyCount() const { return state.world->GetBodyCount(); }
  // Steps as a frame does, with what the joints need before each step.
  void step(int frames = 1) {
    for (int i = 0; i < frames; ++i) stepWorld(state);
  }

  State state;
};
