#include "app/events.h"

#include <SDL/SDL.h>

#include "app/screen.h"
#include "game/controls.h"
#include "game/keys.h"
#include "game/mouse_drag.h"
#include "render/overlays.h"
#include "state/state.h"

static_assert(key::ESCAPE == SDLK_ESCAPE && key::SPACE == SDLK_SPACE && key::B == SDLK_b &&
              key::C == SDLK_c && key::D == SDLK_d && key::J == SDLK_j && key::R == SDLK_r);
static_assert(key::KP0 == SDLK_KP0 && key::KP1 == SDLK_KP1 && key::KP2 == SDLK_KP2 &&
              key::KP3 == SDLK_KP3 && key::KP4 == SDLK_KP4 && key::KP5 == SDLK_KP5 &&
              key::KP6 == SDLK_KP6 && key::KP7 == SDLK_KP7 && key::KP8 == SDLK_KP8 &&
              key::KP9 == SDLK_KP9 && key::KP_PERIOD == SDLK_KP_PERIOD &&
              key::KP_ENTER == SDLK_KP_ENTER);
static_assert(key::RETURN == SDLK_RETURN && key::PERIOD == SDLK_PERIOD && key::NUM0 == SDLK_0 &&
              key::NUM9 == SDLK_9);
static_assert(key::UP == SDLK_UP && key::DOWN == SDLK_DOWN && key::RIGHT == SDLK_RIGHT &&
              key::LEFT == SDLK_LEFT && key::COUNT == SDLK_LAST);
static_assert(key::O == SDLK_o && key::P == SDLK_p && key::F1 == SDLK_F1 && key::F2 == SDLK_F2);

namespace {

void handleMouse(State& state, const Screen& screen, const SDL_Event& event) {
  if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT) {
    const PicturePoint p = screen.toPicture(event.button.x, event.button.y);
    grabBody(state, p.x, p.y);
  } else if (event.type == SDL_MOUSEBUTTONUP && event.button.button == SDL_BUTTON_LEFT) {
    releaseBody(state);
  } else if (event.type == SDL_MOUSEMOTION && grabbing(state)) {
    const PicturePoint p = screen.toPicture(event.motion.x, event.motion.y);
    dragBody(state, p.x, p.y);
  }
}

}  // namespace

void handleEvents(State& state, Screen& screen, Overlays& overlays) {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (event.type == SDL_QUIT) {
      state.running = false;
    } else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_F11) {
      if (!screen.toggleFullscreen()) state.running = false;
    } else if (event.type == SDL_KEYDOWN && toggleOverlay(overlays, event.key.keysym.sym)) {
      // view only
    } else if (event.type == SDL_KEYDOWN) {
      int x = 0, y = 0;
      SDL_GetMouseState(&x, &y);
      const PicturePoint pointer = screen.toPicture(x, y);
      onKeyPress(state, event.key.keysym.sym, pointer.x, pointer.y);
    } else {
      handleMouse(state, screen, event);
    }
  }
}
