#include <gtest/gtest.h>

#include <cstdlib>

#include "support/pinned_clock.h"
#include "terrain/random.h"

TEST(RandAB, SameSecondSameValue) {
  PinnedClock clock(123456);
  const int first = rand_a_b(1, 100);
  EXPECT_EQ(rand_a_b(1, 100), first);
  std::srand(123456);
  EXPECT_EQ(first, 1 + std::rand() % 99);
}
