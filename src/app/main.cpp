// Skyhook: a ship, a crane car and endless mountains on Box2D.

#include <SDL/SDL.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>

#include "app/console.h"
#include "app/events.h"
#include "app/init.h"
#include "app/options.h"
#include "app/pacer.h"
#include "app/screen.h"
#include "app/window.h"
#include "game/frame.h"
#include "game/world_setup.h"
#include "render/overlays.h"
#include "render/renderer.h"
#include "state/state.h"

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

}  // namespace

int main(int argc, char** argv) {
  openClosedStandardDescriptors();
  const CommandLine command = readCommandLine(argc, argv);  // before SDL or freeglut see it
  if (command.action != CommandLine::Action::run) return answerCommandLine(command);
  // SDL and freeglut both open $DISPLAY.
  if (!command.options.display.empty()) setenv("DISPLAY", command.options.display.c_str(), 1);

  // Console lines must never stop the game, whoever reads them or not.
  Console console(std::cout, STDOUT_FILENO);
  State state;
  drawLandscapeSeed(state);  // the first random draw of all

  Screen screen;
  if (!screen.open(command.options.fullscreen)) return 1;
  initText(argc, argv);
  state.running = true;
  init(state);
  std::cout << "SEED = " << state.coefMontagne << std::endl;

  Renderer renderer(state);
  Overlays overlays;
  FramePacer pacer;
  while (state.running) {
    console.drain();  // what waited goes out as the reader makes room
    handleEvents(state, screen, overlays);
    if (!screen.isOpen()) break;  // F11 found no mode to show
    screen.clearBorder();
    playFrame(state, SDL_GetKeyState(nullptr), &renderer);
    drawOverlays(state, overlays);
    SDL_GL_SwapBuffers();
    pacer.wait();
  }

  SDL_Quit();
  return screen.isOpen() ? 0 : 1;
}
