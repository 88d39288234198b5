#include "session/play_input.h"

#include "game/controls.h"
#include "game/frame.h"
#include "session/frame_input.h"
#include "state/state.h"

void playInput(State& state, const FrameInput& input, BodyPainter* painter) {
  for (const InputEvent& event : input.events) {
    if (event.kind == InputEvent::Quit) state.running = false;
    else onKeyPress(state, event.symbol, event.x, event.y);
  }
  playFrame(state, input.held.data(), painter);
}
