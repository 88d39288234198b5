#include "app/window.h"

#include <GL/freeglut.h>
#include <SDL/SDL.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "render/text.h"
#include "state/state.h"

namespace {

std::string displayName() {
  const char* display = std::getenv("DISPLAY");
  return display ? std::string("display \"") + display + "\"" : "display (DISPLAY is not set)";
}

}  // namespace

bool openWindow() {
  // Only SDL's X11 driver gives an OpenGL context; without X, say so rather than
  // let SDL fall back to a text-terminal driver.
  setenv("SDL_VIDEODRIVER", "x11", 0);
  // No parachute: SDL's handler calls SDL_Quit inside a fatal signal and can
  // freeze on an X, Mesa or malloc lock; without it the signal ends the process.
  // Without a sound card the whole set may fail; the sandbox needs only video.
  if (SDL_Init(SDL_INIT_EVERYTHING | SDL_INIT_NOPARACHUTE) < 0 &&
      SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) < 0) {
    std::cerr << "skyhook: cannot initialise SDL on " << displayName() << ": " << SDL_GetError()
              << std::endl;
    return false;
  }
  // The title tells a new user where the keys are.
  SDL_WM_SetCaption("Skyhook - F1: keys", "Skyhook");
  // With vsync the display paces the loop; the pacer only caps it where there is none.
  SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);
  if (!SDL_SetVideoMode(WIDTH, HEIGHT, 32, SDL_OPENGL)) {
    std::cerr << "skyhook: cannot open the " << WIDTH << " x " << HEIGHT
              << " OpenGL window: " << SDL_GetError() << std::endl;
    SDL_Quit();
    return false;
  }
  return true;
}

void initText(int& argc, char** argv) {
  if (glutGet(GLUT_INIT_STATE)) return;  // once per process, however many windows
  glutInit(&argc, argv);
  glutInitDisplayMode(0);
  glutInitWindowSize(WIDTH, HEIGHT);
  // Registered as freeglut expects; SDL owns the window, so they never run.
  glutDisplayFunc(vDisplay);
  glutReshapeFunc(vReshape);
}
