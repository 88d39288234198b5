#include "render/key_panel.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/word_wrap.h"
#include "game/keys.h"
#include "render/text.h"
#include "render/text_panel.h"
#include "render/window_pixels.h"

namespace {

constexpr size_t kActionColumns = 64;  // actions wrap at this width

// The panel's two columns: a title, then each key with its action over as many
// rows as it wraps to.
TextPanel keyPanel() {
  std::vector<std::string> keys = {"Keys", ""}, actions = {"(F1 hides this list)", ""};
  for (const KeyRow& k : kKeys) {
    const std::vector<std::string> lines = wrapWords(k.does, kActionColumns);
    for (size_t i = 0; i < lines.size(); ++i) {
      keys.push_back(i ? "" : k.keys);
      actions.push_back(lines[i]);
    }
  }
  size_t keyColumns = 0, actionColumns = 0;
  for (const std::string& k : keys) keyColumns = std::max(keyColumns, k.size());
  for (const std::string& a : actions) actionColumns = std::max(actionColumns, a.size());
  const int actionX = kGlyphAdvance * static_cast<int>(keyColumns + 2);

  TextPanel panel;
  panel.columns = {{keys, {1, 0.85f, 0.4f}}, {actions, {1, 1, 1}, actionX}};
  panel.across = panel.down = 6;
  panel.pad = 8;
  // Up to the last character's blank column.
  panel.width = actionX + kGlyphAdvance * static_cast<int>(actionColumns) + 2 * panel.pad;
  panel.background = {0.08f, 0.08f, 0.1f};
  return panel;
}

}  // namespace

void drawKeyPanel() {
  static const TextPanel panel = keyPanel();
  drawTextPanel(WindowPixels(), panel);
}
