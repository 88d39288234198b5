#pragma once
// What reaches the simulation from outside in one frame, as plain values: the
// events in the order they came, and the held keys as the frame reads them.
// The live loop fills it from SDL, a replay from a recording, the fuzzer from
// its own random numbers; all three play it through playInput.

#include <array>
#include <vector>

#include "game/keys.h"

struct InputEvent {
  // A key press; the window's close; the left mouse button down, up, and the
  // pointer's moves while it is down (the mouse drag).
  enum Kind { KeyPress, Quit, ButtonDown, ButtonUp, Motion };
  Kind kind;
  int symbol = 0;    // KeyPress: the key's SDL symbol
  int x = 0, y = 0;  // KeyPress, ButtonDown, Motion: the pointer in the picture's pixels
};

// A quit or Escape: the session ends after this frame.
inline bool endsSession(const InputEvent& e) {
  return e.kind == InputEvent::Quit || (e.kind == InputEvent::KeyPress && e.symbol == key::ESCAPE);
}

using HeldKeys = std::array<unsigned char, key::COUNT>;  // nonzero while held

struct FrameInput {
  std::vector<InputEvent> events;
  HeldKeys held{};
};
