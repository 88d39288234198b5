#include "support/pinned_clock.h"

#include <cstdlib>
#include <stdexcept>

std::time_t secondWhereRandABGives(int a, int b, int want, std::time_t from) {
  for (std::time_t t = from; t < from + 10000000; ++t) {
    std::srand(static_cast<unsigned>(t));
    if (a + std::rand() % (b - a) == want) return t;
  }
  throw std::runtime_error("no second gives the wanted draw");
}
