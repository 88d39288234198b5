#include "app/window.h"

#include <GL/freeglut.h>
#include <SDL/SDL.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "app/window_icon.h"
#include "render/text.h"

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <link.h>

#include <cstring>

// What X11 and the OpenGL driver keep for the life of the process is not ours
// to free; a sanitized windowed run would otherwise always exit 1. The one list,
// for the program, the tools and the tests that open a window.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libX11.so\nleak:libGLX_mesa.so\nleak:libGLdispatch.so\nleak:libSDL-1.2.so\n"
         "leak:libglut.so\nleak:_dri.so\n";
}
#endif

namespace {

// SDL_Quit unloads Mesa's driver, and LeakSanitizer then reports the blocks the
// driver kept from an unknown module that no suppression can name. Kept loaded
// to the end, the driver is named, and suppressed.
void keepDriverLoaded() {
#if defined(__SANITIZE_ADDRESS__)
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) {
        if (info->dlpi_name && std::strstr(info->dlpi_name, "_dri.so"))
          dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        return 0;
      },
      nullptr);
#endif
}

std::string displayName() {
  const char* display = std::getenv("DISPLAY");
  return display ? std::string("display \"") + display + "\"" : "display (DISPLAY is not set)";
}

}  // namespace

bool startVideo() {
  if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
  // Only SDL's X11 driver gives an OpenGL context; without X, say so rather than
  // let SDL fall back to a text-terminal driver.
  setenv("SDL_VIDEODRIVER", "x11", 0);
  // The sandbox has no sound.
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  // No parachute: SDL's handler calls SDL_Quit inside a fatal signal and can
  // freeze on an X, Mesa or malloc lock; without it the signal ends the process.
  // Without a sound card the whole set may fail; the sandbox needs only video.
  if (SDL_Init(SDL_INIT_EVERYTHING | SDL_INIT_NOPARACHUTE) < 0 &&
      SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) < 0) {
    std::cerr << "skyhook: cannot initialise SDL on " << displayName() << ": " << SDL_GetError()
              << std::endl;
    return false;
  }
  return true;
}

DesktopSize desktopSize() {
  const SDL_VideoInfo* info = SDL_GetVideoInfo();
  if (!info || info->current_w <= 0 || info->current_h <= 0) return {};
  return {info->current_w, info->current_h};
}

bool openWindow(const WindowMode& mode) {
  if (!startVideo()) return false;
  if (!SDL_GetVideoSurface()) {
    // The title tells a new user where the keys are.
    SDL_WM_SetCaption("Skyhook - F1: keys", "Skyhook");
    setWindowIcon();  // before the first video mode, as SDL asks
  }
  // With vsync the display paces the loop; the pacer only caps it where there is none.
  SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);
  // A window may be resized and maximised; the picture scales to fill it.
  const Uint32 flags = SDL_OPENGL | (mode.fullscreen ? SDL_FULLSCREEN : SDL_RESIZABLE);
  if (!SDL_SetVideoMode(mode.width, mode.height, 32, flags)) {
    std::cerr << "skyhook: cannot open the " << mode.width << " x " << mode.height
              << (mode.fullscreen ? " full-screen" : "") << " OpenGL window: " << SDL_GetError()
              << std::endl;
    return false;
  }
  keepDriverLoaded();
  return true;
}

void initText(int& argc, char** argv) {
  if (glutGet(GLUT_INIT_STATE)) return;  // once per process, however many windows
  // freeglut would take X options such as -display for itself, after SDL has
  // opened its display: it gets none.
  int textArgc = argc > 0 ? 1 : 0;
  glutInit(&textArgc, argv);
  glutInitDisplayMode(0);
  glutInitWindowSize(WIDTH, HEIGHT);
  // Registered as freeglut expects; SDL owns the window, so they never run.
  glutDisplayFunc(vDisplay);
  glutReshapeFunc(vReshape);
}
