#pragma once
// Random numbers drawn from the C library's process-wide generator.
// Most functions reseed it from the clock in whole seconds on every call,
// so their draws repeat within one second; RandomFloat never reseeds.

#include <array>
#include <ctime>
#include <functional>

// Seconds of the calendar clock; a recording logs them and a replay supplies them.
using RandomClock = std::function<std::time_t()>;

// Replaces the clock that the reseeding functions read; an empty one restores time(nullptr).
void setRandomClock(RandomClock clock);
// The clock in place now, to hand on to or put back.
RandomClock randomClock();

// The generator's whole state, as the C library keeps it (initstate and
// setstate make it copyable): what a snapshot of the world keeps of it.
struct RandomState {
  std::array<char, 128> bytes;
};
RandomState saveRandomState();
void restoreRandomState(const RandomState& state);

// a + rand() % (b - a): a included, b excluded when b > a. Equal bounds give a.
int rand_a_b(int a, int b);
unsigned rand_a_b(unsigned a, unsigned b);

int Random_nb();                      // rand() / 1000000: 0 ... 2147; not called by the game
float Randomf_nb();                   // rand() / 1000000 in single precision: 0 ... 2147.4836
unsigned randome_nb();                // unsigned rand() / 1000000; not called by the game
float RandomFloat(float a, float b);  // both bounds included, from the low 15 bits of rand()
