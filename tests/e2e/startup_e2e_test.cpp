#include <gtest/gtest.h>

#include "e2e/sandbox.h"

TEST(Startup, SeedLineThenEscapeEndsWithStatusZero) {
  Sandbox sandbox;
  ASSERT_TRUE(sandbox.waitForLineStartingWith("SEED = ")) << sandbox.errors();
  ASSERT_TRUE(sandbox.waitForWindow());
  sandbox.key("Escape");
  EXPECT_EQ(sandbox.waitForExit(), 0);
}
