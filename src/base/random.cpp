#include "base/random.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

std::time_t systemClock() { return std::time(nullptr); }

RandomClock& currentClock() {
  static RandomClock clock = systemClock;
  return clock;
}

// The generator works in one of these, its place in the array written into the
// array's first word whenever setstate leaves it. The default generator's
// state, 128 bytes of the glibc kind 3, is taken over on the first save.
alignas(8) char stateArrays[2][128];
int activeArray = -1;

void adoptGenerator() {
  // initstate hands back the array it leaves, its position saved into it; a
  // copy of it then goes on exactly where the C library's own left off.
  const char* previous = initstate(1, stateArrays[0], sizeof stateArrays[0]);
  std::memcpy(stateArrays[1], previous, sizeof stateArrays[1]);
  setstate(stateArrays[1]);
  activeArray = 1;
}

void saveInto(RandomState& saved);
void restoreFrom(const RandomState& saved);

// The first draw of the clock's second, leaving the generator just after it.
// Reseeding costs hundreds of steps of the generator; within one second every
// call would rebuild the same state, so the state after the first draw is kept
// and put back instead: the same draws, in the same order, as srand and rand.
int firstDrawOfTheSecond() {
  static bool known = false;
  static unsigned seed = 0;
  static int draw = 0;
  static RandomState after;
  const auto now = static_cast<unsigned>(currentClock()());
  if (known && now == seed) {
    restoreFrom(after);
    return draw;
  }
  std::srand(now);
  draw = std::rand();
  saveInto(after);
  seed = now;
  known = true;
  return draw;
}

}  // namespace

void setRandomClock(RandomClock clock) {
  currentClock() = clock ? std::move(clock) : RandomClock(systemClock);
}

RandomClock randomClock() { return currentClock(); }

int rand_a_b(int a, int b) {
  const int draw = firstDrawOfTheSecond();
  // An empty range would divide by zero; it has only one sensible answer.
  if (b == a) return a;
  return a + draw % (b - a);
}

unsigned rand_a_b(unsigned a, unsigned b) {
  const auto draw = static_cast<unsigned>(firstDrawOfTheSecond());
  if (b == a) return a;
  return a + draw % (b - a);
}

int Random_nb() { return firstDrawOfTheSecond() / 1000000; }

float Randomf_nb() { return static_cast<float>(firstDrawOfTheSecond()) / 1000000.0f; }

unsigned randome_nb() { return static_cast<unsigned>(firstDrawOfTheSecond()) / 1000000u; }

float RandomFloat(float a, float b) {
  const float r = static_cast<float>(std::rand() & 0x7FFF) / 32767.0f;
  return (b - a) * r + a;
}

namespace {

void saveInto(RandomState& saved) {
  if (activeArray < 0) adoptGenerator();
  setstate(stateArrays[activeArray]);  // writes the position into the array, changes nothing else
  std::memcpy(saved.bytes.data(), stateArrays[activeArray], saved.bytes.size());
}

void restoreFrom(const RandomState& saved) {
  if (activeArray < 0) adoptGenerator();
  // Into the other array: setstate first saves the position into the one it leaves.
  activeArray = 1 - activeArray;
  std::memcpy(stateArrays[activeArray], saved.bytes.data(), saved.bytes.size());
  setstate(stateArrays[activeArray]);
}

}  // namespace

RandomState saveRandomState() {
  RandomState saved;
  saveInto(saved);
  return saved;
}

void restoreRandomState(const RandomState& state) { restoreFrom(state); }
