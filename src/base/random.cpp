#include "base/random.h"

#include <cstdlib>
#include <utility>

namespace {

std::time_t systemClock() { return std::time(nullptr); }

RandomClock& currentClock() {
  static RandomClock clock = systemClock;
  return clock;
}

void reseed() { std::srand(static_cast<unsigned>(currentClock()())); }

}  // namespace

void setRandomClock(RandomClock clock) {
  currentClock() = clock ? std::move(clock) : RandomClock(systemClock);
}

int rand_a_b(int a, int b) {
  reseed();
  const int draw = std::rand();
  // An empty range would divide by zero; it has only one sensible answer.
  if (b == a) return a;
  return a + draw % (b - a);
}

unsigned rand_a_b(unsigned a, unsigned b) {
  reseed();
  const unsigned draw = static_cast<unsigned>(std::rand());
  if (b == a) return a;
  return a + draw % (b - a);
}

int Random_nb() {
  reseed();
  return std::rand() / 1000000;
}

float Randomf_nb() {
  reseed();
  return static_cast<float>(std::rand()) / 1000000.0f;
}

unsigned randome_nb() {
  reseed();
  return static_cast<unsigned>(std::rand()) / 1000000u;
}

float RandomFloat(float a, float b) {
  const float r = static_cast<float>(std::rand() & 0x7FFF) / 32767.0f;
  return (b - a) * r + a;
}
