#include "render/messages.h"

#include <GL/gl.h>

#include <algorithm>

#include "render/text.h"
#include "render/text_panel.h"
#include "render/window_pixels.h"

void Messages::post(const std::string& text, Clock::time_point now) {
  text_ = text;
  posted_ = now;
  any_ = true;
}

std::optional<ShownMessage> Messages::shown(Clock::time_point now) const {
  if (!any_) return std::nullopt;
  const Clock::duration age = now - posted_;
  if (age >= kShown + kFading) return std::nullopt;
  if (age <= kShown) return ShownMessage{text_, 1};
  const float left = std::chrono::duration<float>(kShown + kFading - age).count() /
                     std::chrono::duration<float>(kFading).count();
  return ShownMessage{text_, std::clamp(left, 0.0f, 1.0f)};
}

void drawMessage(const WindowPixels& window, const PanelBox& box, const ShownMessage& message) {
  constexpr int kPad = 4;
  const size_t room = static_cast<size_t>(std::max(0, (box.width - 2 * kPad + 1) / kGlyphAdvance));
  std::string text = message.text;
  if (text.size() > room) text = room > 3 ? text.substr(0, room - 3) + "..." : "";
  if (text.empty()) return;
  const int width = textWidth(text.size()) + 2 * kPad;
  const int x = box.x + (box.width - width) / 2;
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0.1f, 0.1f, 0.1f, 0.85f * message.opacity);
  window.box(x, box.y, width, box.height);
  glColor4f(1, 0.9f, 0.4f, message.opacity);
  window.text(x + kPad, box.y + (box.height - kGlyphHeight) / 2, text);
  glDisable(GL_BLEND);
}
