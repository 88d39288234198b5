#pragma once
// The window's messages: a short line naming what the program just did (a
// save, a kept moment, a new world, going back...), shown for about three
// seconds in its own row at the top of the picture, then fading. Only the
// newest shows; a new one takes the place of the last. They only show:
// nothing here reaches the world or a recording, and with none posted
// nothing is drawn.

#include <chrono>
#include <optional>
#include <string>

class WindowPixels;
struct PanelBox;

// A message as drawn: its text and how opaque it is now, 0 to 1.
struct ShownMessage {
  std::string text;
  float opacity = 1;
};

class Messages {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::duration kShown = std::chrono::seconds(3);
  static constexpr Clock::duration kFading = std::chrono::seconds(1);

  void post(const std::string& text, Clock::time_point now = Clock::now());
  // The message to draw at `now`; none once the last has faded.
  std::optional<ShownMessage> shown(Clock::time_point now = Clock::now()) const;

 private:
  std::string text_;
  Clock::time_point posted_;
  bool any_ = false;
};

// Draws the message centred in the row `box` (overlay pixels), its background
// and text fading together; a line too long for the row is cut with "...".
void drawMessage(const WindowPixels& window, const PanelBox& box, const ShownMessage& message);
