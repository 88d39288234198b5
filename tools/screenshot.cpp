// Draws the README's picture with the sandbox's own start-up and frame code, in
// a real window, from a pinned clock, so that every run gives the same picture:
// the landscape scrolls until mountains come in, the ship waits high in the
// sky, B hangs the crane car under it, and the window is read back once the car
// has settled. Writes a binary PPM (scripts/screenshot.sh turns it into PNG).
//
//   skyhook_screenshot OUTPUT.ppm

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <cstdio>
#include <ctime>
#include <iostream>
#include <vector>

#include "app/init.h"
#include "app/window.h"
#include "game/controls.h"
#include "game/frame.h"
#include "game/keys.h"
#include "game/world_setup.h"
#include "render/renderer.h"
#include "state/state.h"
#include "support/console_capture.h"
#include "support/pinned_clock.h"

namespace {

// The clock of a run at 60 frames per second that started at this second.
constexpr std::time_t kStartSecond = 1765000002;

constexpr int kScrollFrames = 1500;  // until the mountains fill the right half
constexpr int kSettleFrames = 80;    // the car swings, reels in and comes to rest
const b2Vec2 kShipPlace(30, 40);     // metres: left of the mountains, high in the sky

void frames(State& state, const unsigned char* keys, Renderer& renderer, PinnedClock& clock,
            int count) {
  for (int i = 0; i < count; ++i) {
    playFrame(state, keys, &renderer);
    clock.tick();
  }
}

bool writePpm(const char* path) {
  std::vector<unsigned char> rgb(static_cast<size_t>(WIDTH) * HEIGHT * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  std::FILE* out = std::fopen(path, "wb");
  if (!out) return false;
  std::fprintf(out, "P6\n%d %d\n255\n", WIDTH, HEIGHT);
  bool ok = true;
  // OpenGL's rows run bottom-up, the picture's top-down.
  for (int row = HEIGHT - 1; row >= 0 && ok; --row)
    ok = std::fwrite(&rgb[static_cast<size_t>(row) * WIDTH * 3], 1, WIDTH * 3, out) ==
         static_cast<size_t>(WIDTH) * 3;
  return std::fclose(out) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: skyhook_screenshot OUTPUT.ppm" << std::endl;
    return 2;
  }
  if (!openWindow()) return 1;
  initText(argc, argv);

  {
    ConsoleCapture quiet;  // the console lines of the run are not the picture's business
    PinnedClock clock(kStartSecond);
    State state;
    drawLandscapeSeed(state);
    init(state);
    Renderer renderer(state);

    unsigned char keys[key::COUNT] = {};
    keys[key::SPACE] = 1;
    frames(state, keys, renderer, clock, kScrollFrames);
    keys[key::SPACE] = 0;

    if (state.ship) state.ship->SetTransform(kShipPlace, 0);
    onKeyPress(state, key::B, 0, 0);
    frames(state, keys, renderer, clock, kSettleFrames);
  }

  const bool written = writePpm(argv[1]);
  SDL_Quit();
  if (!written) {
    std::cerr << "skyhook_screenshot: cannot write " << argv[1] << std::endl;
    return 1;
  }
  return 0;
}
