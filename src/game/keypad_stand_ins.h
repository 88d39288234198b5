#pragma once
// Keys a laptop has in place of the keypad: the number row's 0 to 9 and the
// full stop act as keypad 0 to 9 and keypad period, Return as keypad Enter.

#include <array>

#include "game/keys.h"

// The key a press of `symbol` counts as: its keypad key, or itself.
int keypadKeyFor(int symbol);

// The key-state array with each keypad key also held while its stand-in is.
std::array<unsigned char, key::COUNT> withKeypadStandIns(const unsigned char* keys);
