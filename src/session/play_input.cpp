#include "session/play_input.h"

#include "game/build_tools.h"
#include "game/controls.h"
#include "game/frame.h"
#include "game/world_setup.h"
#include "recording/frame_input.h"
#include "state/state.h"

void startUpWithoutWindow(State& state) {
  drawLandscapeSeed(state);
  drawSkyColourSetGravity(state);
  createWorld(state);
  buildFirstScene(state);
  announceLandscapeSeed(state);
  state.running = true;
}

void playInput(State& state, const FrameInput& input, BodyPainter* painter) {
  for (const InputEvent& e : input.events) {
    switch (e.kind) {
      case InputEvent::KeyPress: onKeyPress(state, e.symbol, e.x, e.y); break;
      case InputEvent::Quit: state.running = false; break;
      case InputEvent::ButtonDown: pressLeftButton(state, e.x, e.y); break;
      case InputEvent::ButtonUp: releaseLeftButton(state); break;
      case InputEvent::Motion: moveLeftButton(state, e.x, e.y); break;
      // The history's and the session's, handled before the frame.
      case InputEvent::Seek:
      case InputEvent::Resumed: break;
    }
  }
  playFrame(state, input.held.data(), painter);
}
