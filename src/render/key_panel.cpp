#include "render/key_panel.h"

#include <GL/gl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/keys.h"
#include "render/window_pixels.h"

namespace {

constexpr int kAdvance = 7;         // pixels per character
constexpr int kLineHeight = 14;     // 12-pixel glyphs and a gap
constexpr int kMargin = 6;          // from the window's corner
constexpr int kPad = 8;             // inside the panel
constexpr int kActionColumns = 64;  // actions wrap at this width

// Splits text at spaces into lines of at most `columns` characters (a longer
// word keeps a line of its own).
std::vector<std::string> wrap(const std::string& text, size_t columns) {
  std::vector<std::string> lines(1);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    std::string& line = lines.back();
    if (!line.empty() && line.size() + 1 + word.size() > columns) lines.push_back(word);
    else line += (line.empty() ? "" : " ") + word;
    start = end + 1;
  }
  return lines;
}

struct Row {
  std::string keys, action;
};

// The panel's rows: a title, then each key with its action over as many rows as it wraps to.
std::vector<Row> rows() {
  std::vector<Row> result = {{"Keys", "(F1 hides this list)"}, {"", ""}};
  for (const KeyRow& k : kKeys) {
    const std::vector<std::string> lines = wrap(k.does, kActionColumns);
    for (size_t i = 0; i < lines.size(); ++i) result.push_back({i ? "" : k.keys, lines[i]});
  }
  return result;
}

}  // namespace

void drawKeyPanel() {
  static const std::vector<Row> panel = rows();
  size_t keyColumns = 0, actionColumns = 0;
  for (const Row& r : panel) {
    keyColumns = std::max(keyColumns, r.keys.size());
    actionColumns = std::max(actionColumns, r.action.size());
  }
  const int actionX = kMargin + kPad + kAdvance * static_cast<int>(keyColumns + 2);
  const int width = actionX + kAdvance * static_cast<int>(actionColumns) + kPad - kMargin;
  const int height = 2 * kPad + kLineHeight * static_cast<int>(panel.size()) - 2;

  const WindowPixels window;
  glColor3f(0.08f, 0.08f, 0.1f);
  window.box(kMargin, kMargin, width, height);
  int y = kMargin + kPad;
  for (const Row& r : panel) {
    glColor3f(1, 0.85f, 0.4f);
    window.text(kMargin + kPad, y, r.keys);
    glColor3f(1, 1, 1);
    window.text(actionX, y, r.action);
    y += kLineHeight;
  }
}
