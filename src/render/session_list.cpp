#include "render/session_list.h"

#include <GL/gl.h>

#include <algorithm>
#include <utility>

#include "game/keys.h"
#include "render/text.h"
#include "render/text_panel.h"
#include "render/window_pixels.h"

namespace {

// The next choosable row from `from` in the direction `by`; `from` if none.
int nextChoosable(const SessionList& list, int from, int by) {
  for (int i = from + by; i >= 0 && i < static_cast<int>(list.rows.size()); i += by)
    if (list.rows[static_cast<size_t>(i)].choosable) return i;
  return from;
}

constexpr int kPad = 8;
constexpr size_t kColumns = 78;  // characters across the panel

}  // namespace

void SessionList::show(std::vector<SessionListRow> newRows, std::string newNote) {
  rows = std::move(newRows);
  note = std::move(newNote);
  open = true;
  asking = false;
  chosen = nextChoosable(*this, -1, 1);
  if (chosen >= 0 && !rows[static_cast<size_t>(chosen)].choosable) chosen = -1;
}

SessionListAnswer pressInSessionList(SessionList& list, int symbol, bool shift) {
  const bool enter = symbol == key::RETURN || symbol == key::KP_ENTER;
  if (list.asking) {
    list.asking = false;
    return symbol == key::Y || enter ? SessionListAnswer::remove : SessionListAnswer::none;
  }
  if (symbol == key::ESCAPE || symbol == key::F6) {
    list.open = false;
    return SessionListAnswer::close;
  }
  if (list.chosen < 0) return SessionListAnswer::none;
  if (symbol == key::UP) list.chosen = nextChoosable(list, list.chosen, -1);
  if (symbol == key::DOWN) list.chosen = nextChoosable(list, list.chosen, 1);
  if (symbol == key::DELETE) list.asking = true;
  if (enter) return shift ? SessionListAnswer::replay : SessionListAnswer::resume;
  return SessionListAnswer::none;
}

void drawSessionList(const WindowPixels& window, const SessionList& list) {
  const Colour white{1, 1, 1}, grey{0.6f, 0.6f, 0.6f}, yellow{1, 0.9f, 0.4f};
  // As many rows as the picture has room for, scrolled to keep the chosen one in view.
  const int room = (window.pictureHeight() - 2 * kPad - 6 * kLineHeight) / kLineHeight;
  const int rows = static_cast<int>(list.rows.size());
  const int visible = std::max(1, std::min(room, rows));
  const int first = std::clamp(list.chosen - visible + 1, 0, std::max(0, rows - visible));
  std::vector<std::pair<std::string, Colour>> lines = {
      {"Saved sessions (F6 or Escape closes)", yellow}, {"", white}};
  if (list.rows.empty()) lines.push_back({"  none yet: S saves the session so far", white});
  for (int i = first; i < first + visible && i < rows; ++i) {
    const SessionListRow& row = list.rows[static_cast<size_t>(i)];
    lines.push_back({(i == list.chosen ? "> " : "  ") + row.text, row.choosable ? white : grey});
  }
  lines.push_back({"", white});
  if (list.asking) lines.push_back({"Remove this session for good? Y: yes, N: no", yellow});
  else lines.push_back({"Up/Down choose, Enter resume, Shift+Enter replay, Delete remove", white});
  if (!list.note.empty()) lines.push_back({list.note, grey});
  for (auto& line : lines)
    if (line.first.size() > kColumns) line.first = line.first.substr(0, kColumns - 3) + "...";

  const int width = std::min(textWidth(kColumns) + 2 * kPad, window.pictureWidth());
  const int height = textHeight(lines.size()) + 2 * kPad;
  const int x = (window.pictureWidth() - width) / 2;
  const int y = std::max(0, (window.pictureHeight() - height) / 3);
  glColor3f(0.08f, 0.08f, 0.12f);
  window.box(x, y, width, height);
  if (list.chosen >= 0) {
    glColor3f(0.2f, 0.3f, 0.55f);
    const int line = 2 + list.chosen - first;
    window.box(x + 2, y + kPad + line * kLineHeight - 1, width - 4, kLineHeight);
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    const Colour& ink = lines[i].second;
    glColor3f(ink.red, ink.green, ink.blue);
    if (!lines[i].first.empty())
      window.text(x + kPad, y + kPad + static_cast<int>(i) * kLineHeight, lines[i].first);
  }
}
