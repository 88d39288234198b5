// Preloaded into the real binary by the end-to-end tests: writes the monotonic
// time of every buffer swap, in nanoseconds, one line each, to the file named
// by SKYHOOK_SWAP_LOG. Unbuffered, so that the lines survive a killed process.

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

extern "C" void SDL_GL_SwapBuffers(void) {
  using Swap = void (*)();
  static const Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers"));
  static const int log = [] {
    const char* path = std::getenv("SKYHOOK_SWAP_LOG");
    return path ? open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
  }();
  if (real) real();
  if (log < 0) return;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  char line[32];
  const int n = std::snprintf(line, sizeof line, "%lld\n",
                              static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
  if (n > 0 && write(log, line, static_cast<size_t>(n)) < 0) return;
}
