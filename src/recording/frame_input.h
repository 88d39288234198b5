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
  // pointer's moves while it is down (the mouse drag); a move through the
  // session's time (the history's, never the game's); the first frame of a
  // resumed session, before which its history keeps nothing.
  enum Kind { KeyPress, Quit, ButtonDown, ButtonUp, Motion, Seek, Resumed };
  Kind kind;
  int symbol = 0;    // KeyPress: the key's SDL symbol; Seek: how (SeekBy)
  int x = 0, y = 0;  // KeyPress, ButtonDown, Motion: the pointer in the picture's pixels
                     // Seek: x the moment (frames played) it goes to, y the branch
};

// How a Seek moves: along the session's line of time (the bar, `,` and `.`,
// undo, redo), or onto a branch it left.
enum SeekBy { seekOnBar, seekUndo, seekRedo, seekBranch };

// A quit or Escape: the session ends after this frame.
inline bool endsSession(const InputEvent& e) {
  return e.kind == InputEvent::Quit || (e.kind == InputEvent::KeyPress && e.symbol == key::ESCAPE);
}

using HeldKeys = std::array<unsigned char, key::COUNT>;  // nonzero while held

struct FrameInput {
  std::vector<InputEvent> events;
  HeldKeys held{};
};
