#pragma once
// The bar of the session's time from the window's side: the left button on
// the bar and on its branches' lines, Tab that pins it, Ctrl+Z and Ctrl+Y (or
// Ctrl+Shift+Z), and `,` and `.` while time stands still. Each becomes a seek
// in the frame's input, with the moment it goes to, so that a recording holds
// it; nothing here touches the game.

#include <SDL/SDL.h>

class Screen;
class Session;
struct FrameInput;
struct Overlays;

class TimelineControl {
 public:
  // True when the event was the bar's (or its keys'): it goes no further.
  bool handle(const SDL_Event& event, const Screen& screen, const Overlays& overlays,
              const Session& session, FrameInput& input);
  // After the picture: whether the bar shows, and what it shows.
  void show(Overlays& overlays, const Screen& screen, const Session& session,
            const FrameInput& input);

 private:
  // The pointer in overlay pixels; false outside the picture.
  bool toOverlay(const Screen& screen, const Overlays& overlays, int x, int y, int& ox,
                 int& oy) const;
  bool onBar(const Screen& screen, const Overlays& overlays, int x, int y) const;
  void seekTo(const Overlays& overlays, int ox, int oy, FrameInput& input, bool clicked);

  bool pinned_ = false;
  bool scrubbing_ = false;  // the left button went down on the bar and is still down
  long target_ = -1;        // where the last undo or redo went
};
