#include "game/keypad_stand_ins.h"

int keypadKeyFor(int symbol) {
  if (symbol >= key::NUM0 && symbol <= key::NUM9) return key::KP0 + (symbol - key::NUM0);
  if (symbol == key::PERIOD) return key::KP_PERIOD;
  if (symbol == key::RETURN) return key::KP_ENTER;
  return symbol;
}

std::array<unsigned char, key::COUNT> withKeypadStandIns(const unsigned char* keys) {
  std::array<unsigned char, key::COUNT> held;
  for (int k = 0; k < key::COUNT; ++k) held[k] = keys[k];
  for (int k : {key::RETURN, key::PERIOD})
    if (keys[k]) held[keypadKeyFor(k)] = 1;
  for (int k = key::NUM0; k <= key::NUM9; ++k)
    if (keys[k]) held[keypadKeyFor(k)] = 1;
  return held;
}
