#include "app/window_icon.h"

#include <SDL/SDL.h>

#include "window_icon_pixels.h"

void setWindowIcon() {
  // Straight RGBA bytes in memory order, whatever the machine's byte order.
  const bool bigEndian = SDL_BYTEORDER == SDL_BIG_ENDIAN;
  const Uint32 r = bigEndian ? 0xff000000 : 0x000000ff, g = bigEndian ? 0x00ff0000 : 0x0000ff00,
               b = bigEndian ? 0x0000ff00 : 0x00ff0000, a = bigEndian ? 0x000000ff : 0xff000000;
  // SDL reads the pixels and never writes them.
  void* pixels = const_cast<unsigned char*>(kWindowIconRgba);
  SDL_Surface* icon = SDL_CreateRGBSurfaceFrom(pixels, kWindowIconSize, kWindowIconSize, 32,
                                               kWindowIconSize * 4, r, g, b, a);
  if (!icon) return;  // a window without an icon is still a window
  // With no mask given, SDL takes the transparent parts from the alpha channel.
  SDL_WM_SetIcon(icon, nullptr);
  SDL_FreeSurface(icon);
}
