#pragma once
// A fresh state with its world, listeners and density table, and no scene.

#include <gtest/gtest.h>

#include "app/state.h"
#include "app/world_setup.h"

class WorldTest : public ::testing::Test {
 protected:
  WorldTest() {
    createWorld(state);
    init_TABLEAU_DES_DENSITES(state.TABLEAU_DES_DENSITES);
  }

  int bodyCount() const { return state.world->GetBodyCount(); }
  void step(int frames = 1) {
    for (int i = 0; i < frames; ++i) state.world->Step(0.05f, 8, 3);
  }

  State state;
};
