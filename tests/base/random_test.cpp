#include "base/random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "support/pinned_clock.h"

namespace {

// The first value of the C generator's sequence for a seed.
int firstDraw(unsigned seed) {
  std::srand(seed);
  return std::rand();
}

// The first seed from 1 whose first draw has the given low 15 bits.
unsigned seedWithLow15Bits(int bits) {
  for (unsigned seed = 1; seed < 50000000u; ++seed)
    if ((firstDraw(seed) & 0x7FFF) == bits) return seed;
  ADD_FAILURE() << "no seed gives low bits " << bits;
  return 0;
}

}  // namespace

TEST(RandAB, SameSecondSameValue) {
  PinnedClock clock(123456);
  const int first = rand_a_b(1, 100);
  std::rand();  // whatever ran in between, the next call starts over
  std::rand();
  EXPECT_EQ(rand_a_b(1, 100), first);
  EXPECT_EQ(first, 1 + firstDraw(123456) % 99);
}

TEST(RandAB, NextSecondReseeds) {
  PinnedClock clock(1000);
  // A second whose draw differs from that of second 1000, so a stale seed would show.
  std::time_t other = 1001;
  while (1 + firstDraw(static_cast<unsigned>(other)) % 99 == 1 + firstDraw(1000) % 99) ++other;
  const int before = rand_a_b(1, 100);
  clock.set(other);
  const int after = rand_a_b(1, 100);
  EXPECT_EQ(before, 1 + firstDraw(1000) % 99);
  EXPECT_EQ(after, 1 + firstDraw(static_cast<unsigned>(other)) % 99);
  EXPECT_NE(before, after);
}

// Reseeding calls in a second that comes back, between free draws and draws of
// the generator's own: exactly the C library's srand and rand, draw for draw.
TEST(RandAB, DrawsStayTheCLibrarysSequenceAcrossSeconds) {
  PinnedClock clock(700);
  const std::time_t seconds[] = {700, 700, 701, 701, 700, 702, 702, 700};
  std::vector<int> got, want;
  for (std::time_t t : seconds) {
    clock.set(t);
    got.push_back(rand_a_b(0, 1 << 30));
    got.push_back(std::lround(RandomFloat(0, 1) * 32767.0));
    got.push_back(static_cast<int>(rand_a_b(3u, 1u << 30)));
    got.push_back(Random_nb());
    got.push_back(std::rand());
  }
  for (std::time_t t : seconds) {
    std::srand(static_cast<unsigned>(t));
    want.push_back(std::rand() % (1 << 30));
    want.push_back(std::rand() & 0x7FFF);
    std::srand(static_cast<unsigned>(t));
    want.push_back(3 + std::rand() % ((1 << 30) - 3));
    std::srand(static_cast<unsigned>(t));
    want.push_back(std::rand() / 1000000);
    want.push_back(std::rand());
  }
  EXPECT_EQ(got, want);
}

TEST(RandAB, UpperBoundExcludedLowerIncluded) {
  PinnedClock clock(0);
  clock.set(secondWhereRandABGives(0, 101, 0));
  EXPECT_EQ(rand_a_b(0, 101), 0);
  clock.set(secondWhereRandABGives(0, 101, 100));
  EXPECT_EQ(rand_a_b(0, 101), 100);

  std::set<int> seen;
  for (std::time_t t = 0; t < 20000; ++t) {
    clock.set(t);
    const int v = rand_a_b(0, 101);
    ASSERT_GE(v, 0) << "second " << t;
    ASSERT_LE(v, 100) << "second " << t;
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 101u);  // every value of 0 ... 100 turns up
}

TEST(RandAB, ReversedBoundsUseTheSignedRemainder) {
  PinnedClock clock(0);
  std::set<int> wide;
  for (std::time_t t = 0; t < 5000; ++t) {
    clock.set(t);
    ASSERT_EQ(rand_a_b(21, 20), 21) << "second " << t;
    ASSERT_EQ(rand_a_b(21, 22), 21) << "second " << t;
    // Divisor -5: the remainder keeps the dividend's sign, so 10 ... 14.
    const int v = rand_a_b(10, 5);
    ASSERT_GE(v, 10);
    ASSERT_LE(v, 14);
    wide.insert(v);
  }
  EXPECT_EQ(wide.size(), 5u);
}

TEST(RandAB, EqualBoundsGiveTheBoundInsteadOfDividingByZero) {
  PinnedClock clock(31);
  EXPECT_EQ(rand_a_b(7, 7), 7);
  EXPECT_EQ(rand_a_b(7u, 7u), 7u);
  // The draw still happens, so the sequence after it is the reseeded one.
  std::srand(31);
  std::rand();
  const int next = std::rand();
  rand_a_b(7, 7);
  EXPECT_EQ(std::lround(RandomFloat(0, 1) * 32767.0), next & 0x7FFF);
}

TEST(RandAB, UnsignedOverloadComputesInUnsignedArithmetic) {
  PinnedClock clock(0);
  bool wrapped = false;
  for (std::time_t t = 0; t < 2000; ++t) {
    clock.set(t);
    const unsigned draw = static_cast<unsigned>(firstDraw(static_cast<unsigned>(t)));
    // Same range as the signed form while b > a.
    EXPECT_EQ(rand_a_b(0u, 101u), static_cast<unsigned>(rand_a_b(0, 101)));
    // b < a: b - a wraps to 2^32 - 2, larger than any draw, so the draw comes through
    // whole; the signed form would give 5 or 6.
    EXPECT_EQ(rand_a_b(5u, 3u), 5u + draw);
    // a near the top: the sum wraps modulo 2^32 (no signed overflow anywhere).
    const unsigned a = 4200000000u;
    const unsigned v = rand_a_b(a, 1000000000u);
    const unsigned divisor = 1000000000u - a;  // 1094967296
    EXPECT_EQ(v, a + draw % divisor);
    if (v < a) wrapped = true;
  }
  EXPECT_TRUE(wrapped) << "no second exercised the wrap";
}

TEST(RandomFloat, ReachesBothBoundsExactly) {
  const unsigned lowSeed = seedWithLow15Bits(0);
  const unsigned highSeed = seedWithLow15Bits(0x7FFF);
  ASSERT_NE(lowSeed, 0u);
  ASSERT_NE(highSeed, 0u);

  std::srand(lowSeed);
  EXPECT_EQ(RandomFloat(-1.5f, 1.5f), -1.5f);
  std::srand(highSeed);
  EXPECT_EQ(RandomFloat(-1.5f, 1.5f), 1.5f);
  std::srand(lowSeed);
  EXPECT_EQ(RandomFloat(0.1f, 5.0f), 0.1f);
  std::srand(highSeed);
  EXPECT_EQ(RandomFloat(0.1f, 5.0f), 5.0f);
}

TEST(RandomFloat, UsesTheLowFifteenBitsWithinBounds) {
  std::srand(77);
  std::vector<int> draws;
  for (int i = 0; i < 2000; ++i) draws.push_back(std::rand());
  std::srand(77);
  for (int draw : draws) {
    const float v = RandomFloat(0, 1);
    ASSERT_GE(v, 0.0f);
    ASSERT_LE(v, 1.0f);
    EXPECT_EQ(static_cast<int>(std::lround(v * 32767.0)), draw & 0x7FFF);
  }
}

TEST(RandomFloat, ContinuesTheSequenceWithoutReseeding) {
  // The clock says one second, the generator was seeded with another: RandomFloat
  // must follow the generator.
  PinnedClock clock(500);
  std::srand(9);
  std::rand();
  const int second = std::rand();
  std::srand(9);
  std::rand();
  EXPECT_EQ(std::lround(RandomFloat(0, 1) * 32767.0), second & 0x7FFF);

  // After a reseeding call, RandomFloat takes the second value of that second's sequence.
  rand_a_b(1, 100);
  std::srand(500);
  std::rand();
  const int next = std::rand();
  rand_a_b(1, 100);
  EXPECT_EQ(std::lround(RandomFloat(0, 1) * 32767.0), next & 0x7FFF);
}

TEST(RandomNb, ReseedAndDivideTheFirstDrawByAMillion) {
  PinnedClock clock(0);
  int largest = 0;
  float largestF = 0;
  for (std::time_t t = 0; t < 20000; ++t) {
    clock.set(t);
    const int draw = firstDraw(static_cast<unsigned>(t));
    std::rand();  // the functions must reseed rather than continue
    const int i = Random_nb();
    std::rand();
    const unsigned u = randome_nb();
    std::rand();
    const float f = Randomf_nb();
    ASSERT_EQ(i, draw / 1000000) << "second " << t;
    ASSERT_EQ(u, static_cast<unsigned>(draw) / 1000000u) << "second " << t;
    ASSERT_EQ(f, static_cast<float>(draw) / 1000000.0f) << "second " << t;
    ASSERT_LE(i, 2147);
    ASSERT_LE(f, 2147.4836f);
    largest = std::max(largest, i);
    largestF = std::max(largestF, f);
  }
  // The sample reaches the top of the range, so the bounds above were tested there.
  EXPECT_EQ(largest, 2147);
  EXPECT_GT(largestF, 2147.0f);
}

// A snapshot keeps the generator where it is: the first save takes the C
// library's own state over without moving it, and a restore goes on from the
// saved place, however far the generator has run or been reseeded since.
TEST(RandomState, SaveAndRestoreContinueTheSequenceExactly) {
  std::srand(77);
  for (int i = 0; i < 5; ++i) std::rand();
  std::vector<int> expected;
  {
    std::srand(77);
    for (int i = 0; i < 5; ++i) std::rand();
    for (int i = 0; i < 40; ++i) expected.push_back(std::rand());
  }
  std::srand(77);
  for (int i = 0; i < 5; ++i) std::rand();
  const RandomState saved = saveRandomState();
  std::vector<int> drawn;
  for (int i = 0; i < 40; ++i) drawn.push_back(std::rand());
  EXPECT_EQ(drawn, expected);

  std::srand(12345);
  for (int i = 0; i < 1000; ++i) std::rand();
  restoreRandomState(saved);
  drawn.clear();
  for (int i = 0; i < 40; ++i) drawn.push_back(std::rand());
  EXPECT_EQ(drawn, expected);
  restoreRandomState(saved);  // as often as wanted
  EXPECT_EQ(std::rand(), expected[0]);
}
