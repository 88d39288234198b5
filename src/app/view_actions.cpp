#include "app/view_actions.h"

#include <cstring>

#include "game/keys.h"

namespace {

struct Command {
  const char* name;
  ViewAction action;
};

constexpr Command kCommands[] = {
    {"key-panel", ViewAction::keyPanel},
    {"page-up", ViewAction::pageUp},
    {"page-down", ViewAction::pageDown},
    {"joint-view", ViewAction::jointView},
    {"figures", ViewAction::figures},
    {"physics-view", ViewAction::physicsView},
    {"console-strip", ViewAction::consoleStrip},
    {"full-screen", ViewAction::fullScreen},
    {"zoom-in", ViewAction::zoomIn},
    {"zoom-out", ViewAction::zoomOut},
    {"home", ViewAction::home},
    {"follow", ViewAction::follow},
    {"save", ViewAction::saveSession},
    {"take-over", ViewAction::takeOver},
    {"session-list", ViewAction::sessionList},
};

}  // namespace

ViewAction viewAction(const KeyRow* row) {
  if (!row || row->use != KeyUse::view || !row->command) return ViewAction::none;
  for (const Command& c : kCommands)
    if (std::strcmp(c.name, row->command) == 0) return c.action;
  return ViewAction::none;
}

ViewAction viewActionOf(int symbol) { return viewAction(keyRow(symbol)); }
