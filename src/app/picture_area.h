#pragma once
// Where the 1280 x 940 picture goes in a window of another size, and back:
// as large as fits with its proportions kept, centred. Window pixels count
// from the top-left corner, y downward, as the picture's do.

struct PictureArea {
  int x, y, width, height;
};

// The picture in a window of this size.
PictureArea fitPicture(int windowWidth, int windowHeight);

struct WindowSize {
  int width, height;
};

// The window for a desktop of this size: 1280 x 940 where that fits with room
// left for a panel and a title bar, else the largest window of the picture's
// proportions that does. A desktop of unknown size (0) gets 1280 x 940.
WindowSize windowFor(int desktopWidth, int desktopHeight);

// Height kept free on the desktop for a panel and a title bar.
constexpr int kDesktopMargin = 80;

struct PicturePoint {
  int x, y;
};

// The picture's pixel under a window pixel (the pointer); a pixel on the
// black border goes to the nearest edge of the picture.
PicturePoint pictureFromWindow(const PictureArea& area, int windowX, int windowY);
