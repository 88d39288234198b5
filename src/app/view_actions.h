#pragma once
// What the app does for a view key of the key table: the table names each by a
// command, and this is the one map from those names to what the window does.
// Saving and taking a replay over act on the session, outside the world.

struct KeyRow;

enum class ViewAction {
  none,
  keyPanel,
  pageUp,
  pageDown,
  jointView,
  figures,
  physicsView,
  consoleStrip,
  fullScreen,
  zoomIn,
  zoomOut,
  home,
  follow,
  saveSession,
  takeOver,
  sessionList,
};

// The action of a view row's command; none for another row, or nullptr.
ViewAction viewAction(const KeyRow* row);
// The action of a key symbol's row, or none.
ViewAction viewActionOf(int symbol);
