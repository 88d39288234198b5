#include "app/picture_area.h"

#include <algorithm>
#include <cmath>

#include "base/units.h"

PictureArea fitPicture(int windowWidth, int windowHeight) {
  // Integer products: a window of the picture's proportions is filled exactly.
  const long long w = windowWidth, h = windowHeight;
  int width = windowWidth, height = windowHeight;
  if (w * HEIGHT <= h * WIDTH)
    height = static_cast<int>((w * HEIGHT * 2 + WIDTH) / (2 * WIDTH));  // rounded
  else width = static_cast<int>((h * WIDTH * 2 + HEIGHT) / (2 * HEIGHT));
  return {(windowWidth - width) / 2, (windowHeight - height) / 2, width, height};
}

WindowSize windowFor(int desktopWidth, int desktopHeight) {
  if (desktopWidth <= 0 || desktopHeight <= 0) return {WIDTH, HEIGHT};
  const int width = std::min(desktopWidth, WIDTH);
  const int height = std::clamp(desktopHeight - kDesktopMargin, 1, HEIGHT);
  const PictureArea area = fitPicture(width, height);
  return {area.width, area.height};
}

PicturePoint pictureFromWindow(const PictureArea& area, int windowX, int windowY) {
  // Through the pixel's centre, so that an unscaled picture maps one to one.
  auto map = [](int at, int origin, int size, int pictureSize) {
    const double scaled = std::floor((at - origin + 0.5) * pictureSize / size);
    return static_cast<int>(std::clamp(scaled, 0.0, pictureSize - 1.0));
  };
  return {map(windowX, area.x, area.width, WIDTH), map(windowY, area.y, area.height, HEIGHT)};
}
