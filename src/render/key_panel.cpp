#include "render/key_panel.h"

#include <algorithm>
#include <string>

#include "base/word_wrap.h"
#include "game/keys.h"
#include "render/text.h"
#include "render/window_pixels.h"

namespace {

constexpr int kPad = 8;
constexpr size_t kWidestAction = 64;     // actions wrap at most this wide
constexpr size_t kColumnAction = 40;     // a column beside another takes at least this
constexpr size_t kNarrowestAction = 24;  // and at least this, whatever the room
constexpr size_t kColumnGap = 3;         // characters between two columns of keys
constexpr size_t kHeaderRows = 2;        // the title, and the page mark under it

const Colour kKeyInk{1, 0.85f, 0.4f}, kActionInk{1, 1, 1};

// A key row as the panel shows it: the keys, then the action over as many
// lines as it wraps to.
struct Entry {
  std::string keys;
  std::vector<std::string> actions;
};

size_t widestKeys() {
  size_t widest = 0;
  for (const KeyRow& k : kKeys) widest = std::max(widest, std::string(k.keys).size());
  return widest;
}

}  // namespace

std::vector<TextPanel> keyPanelPages(const PanelBox& room) {
  const size_t keyChars = widestKeys();
  const size_t roomChars =
      static_cast<size_t>(std::max(0, (room.width - 2 * kPad) / kGlyphAdvance));
  // As many columns as fit with actions of kColumnAction, each as wide as the room allows.
  const size_t fullColumn = keyChars + 2 + kColumnAction;
  const size_t columns = std::max<size_t>(1, (roomChars + kColumnGap) / (fullColumn + kColumnGap));
  const size_t columnChars = (roomChars + kColumnGap) / columns - kColumnGap;
  const size_t actionChars = std::clamp(columnChars > keyChars + 2 ? columnChars - keyChars - 2 : 0,
                                        kNarrowestAction, kWidestAction);
  const size_t rowsPerColumn = static_cast<size_t>(
      std::max<int>(1, (room.height - 2 * kPad + 2) / kLineHeight - static_cast<int>(kHeaderRows)));

  std::vector<Entry> entries;
  for (const KeyRow& k : kKeys) entries.push_back({k.keys, wrapWords(k.does, actionChars)});

  // Each page: its columns, each a list of entries' lines; an entry is never split.
  struct Column {
    std::vector<std::string> keys, actions;
  };
  std::vector<std::vector<Column>> pages(1, std::vector<Column>(1));
  for (const Entry& e : entries) {
    Column* column = &pages.back().back();
    if (!column->keys.empty() && column->keys.size() + e.actions.size() > rowsPerColumn) {
      if (pages.back().size() == columns) pages.emplace_back();
      pages.back().emplace_back();
      column = &pages.back().back();
    }
    for (size_t i = 0; i < e.actions.size(); ++i) {
      column->keys.push_back(i ? "" : e.keys);
      column->actions.push_back(e.actions[i]);
    }
  }

  const int actionX = kGlyphAdvance * static_cast<int>(keyChars + 2);
  const int columnWidth = actionX + kGlyphAdvance * static_cast<int>(actionChars + kColumnGap);
  std::vector<TextPanel> panels;
  for (size_t p = 0; p < pages.size(); ++p) {
    std::string mark;
    if (pages.size() > 1)
      mark = std::to_string(p + 1) + "/" + std::to_string(pages.size()) + "  Page Up / Page Down";
    TextPanel panel;
    for (size_t c = 0; c < pages[p].size(); ++c) {
      // The first column's head is the title and the page mark; the others' is blank.
      std::vector<std::string> keys = {c ? "" : "Keys", ""};
      std::vector<std::string> actions = {c ? "" : "(F1 hides this list)", c ? "" : mark};
      keys.insert(keys.end(), pages[p][c].keys.begin(), pages[p][c].keys.end());
      actions.insert(actions.end(), pages[p][c].actions.begin(), pages[p][c].actions.end());
      const int x = columnWidth * static_cast<int>(c);
      panel.columns.push_back({keys, kKeyInk, x});
      panel.columns.push_back({actions, kActionInk, x + actionX});
    }
    panel.across = room.x;
    panel.down = room.y;
    panel.pad = kPad;
    // Up to the last column's widest action, its blank column included.
    panel.width = columnWidth * static_cast<int>(pages[p].size()) -
                  kGlyphAdvance * static_cast<int>(kColumnGap) + 2 * kPad;
    panel.background = {0.08f, 0.08f, 0.1f};
    panels.push_back(panel);
  }
  return panels;
}

int keyPanelNarrowest() {
  return kGlyphAdvance * static_cast<int>(widestKeys() + 2 + kNarrowestAction) + 2 * kPad;
}

KeyPanelDrawn drawKeyPanel(const WindowPixels& window, const PanelBox& room, int page) {
  const std::vector<TextPanel> pages = keyPanelPages(room);
  const int count = static_cast<int>(pages.size());
  return {count, drawTextPanel(window, pages[std::clamp(page, 0, count - 1)])};
}
