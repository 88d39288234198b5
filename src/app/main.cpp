// Skyhook: a ship, a crane car and endless mountains on Box2D.

#include <SDL/SDL.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>

#include "app/console.h"
#include "app/controls.h"
#include "app/frame.h"
#include "app/init.h"
#include "app/keys.h"
#include "app/pacer.h"
#include "app/state.h"
#include "app/window.h"
#include "app/world_setup.h"

static_assert(key::ESCAPE == SDLK_ESCAPE && key::SPACE == SDLK_SPACE && key::B == SDLK_b &&
              key::C == SDLK_c && key::D == SDLK_d && key::J == SDLK_j && key::R == SDLK_r);
static_assert(key::KP0 == SDLK_KP0 && key::KP1 == SDLK_KP1 && key::KP2 == SDLK_KP2 &&
              key::KP3 == SDLK_KP3 && key::KP4 == SDLK_KP4 && key::KP5 == SDLK_KP5 &&
              key::KP6 == SDLK_KP6 && key::KP7 == SDLK_KP7 && key::KP8 == SDLK_KP8 &&
              key::KP9 == SDLK_KP9 && key::KP_PERIOD == SDLK_KP_PERIOD &&
              key::KP_ENTER == SDLK_KP_ENTER);
static_assert(key::UP == SDLK_UP && key::DOWN == SDLK_DOWN && key::RIGHT == SDLK_RIGHT &&
              key::LEFT == SDLK_LEFT && key::COUNT == SDLK_LAST);

namespace {

// A launcher may start us with a standard descriptor closed: the X connection
// would then take it, console lines would go into the X protocol stream and the
// program would block for good. /dev/null takes the place instead.
void openClosedStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int opened = open("/dev/null", O_RDWR);
    if (opened >= 0 && opened != fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
}

void handleEvents(State& state) {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (event.type == SDL_QUIT) {
      state.running = false;
    } else if (event.type == SDL_KEYDOWN) {
      int x = 0, y = 0;
      SDL_GetMouseState(&x, &y);
      onKeyPress(state, event.key.keysym.sym, x, y);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  openClosedStandardDescriptors();
  // Console lines must never stop the game, whoever reads them or not.
  Console console(std::cout, STDOUT_FILENO);
  State state;
  drawLandscapeSeed(state);  // the first random draw of all

  if (!openWindow()) return 1;
  initText(argc, argv);
  state.running = true;
  init(state);
  std::cout << "SEED = " << state.coefMontagne << std::endl;

  FramePacer pacer;
  while (state.running) {
    console.drain();  // what waited goes out as the reader makes room
    handleEvents(state);
    runFrame(state, SDL_GetKeyState(nullptr));
    SDL_GL_SwapBuffers();
    pacer.wait();
  }

  SDL_Quit();
  return 0;
}
