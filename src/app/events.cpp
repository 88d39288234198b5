#include "app/events.h"

#include <SDL/SDL.h>

#include "app/screen.h"
#include "game/keys.h"
#include "session/frame_input.h"
#include "session/key_names.h"

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

void readInput(FrameInput& input, Screen& screen) {
  input.events.clear();
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (event.type == SDL_QUIT) {
      input.events.push_back({InputEvent::Quit});
    } else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_F11) {
      screen.toggleFullscreen();  // when it fails the screen is closed, and main stops
    } else if (event.type == SDL_KEYDOWN && keyName(event.key.keysym.sym)) {
      int x = 0, y = 0;
      SDL_GetMouseState(&x, &y);
      const PicturePoint pointer = screen.toPicture(x, y);
      input.events.push_back({InputEvent::KeyPress, event.key.keysym.sym, pointer.x, pointer.y});
    }
  }
  // Only the game's keys: what reaches the game is what a recording can hold.
  const Uint8* keys = SDL_GetKeyState(nullptr);
  input.held.fill(0);
  for (const KeyName& k : kKeyNames) input.held[k.symbol] = keys[k.symbol];
}
