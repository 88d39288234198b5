#include "session/timeline.h"

#include "game/keys.h"

bool isAction(const InputEvent& e) {
  if (e.kind == InputEvent::ButtonDown) return true;
  if (e.kind != InputEvent::KeyPress) return false;
  switch (e.symbol) {
    case key::C:
    case key::B:
    case key::J:
    case key::D:
    case key::N:
    case key::F9: return true;
    default: return false;
  }
}
