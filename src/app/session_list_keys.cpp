#include "app/session_list_keys.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "render/session_list.h"
#include "session/saved_sessions.h"
#include "session/session.h"

namespace {

std::string sizeText(std::uintmax_t bytes) {
  char text[32];
  if (bytes < 1024) std::snprintf(text, sizeof text, "%ju B", bytes);
  else if (bytes < 1024 * 1024) std::snprintf(text, sizeof text, "%.0f kB", bytes / 1024.0);
  else std::snprintf(text, sizeof text, "%.1f MB", bytes / (1024.0 * 1024.0));
  return text;
}

SessionListRow rowOf(const SavedSession& saved) {
  if (!saved.readable) return {saved.name + "  unreadable: " + saved.reason, saved.path, false};
  std::tm local{};
  localtime_r(&saved.modified, &local);
  char when[32];
  std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
  const long seconds = saved.frames / 60;
  char row[160];
  std::snprintf(row, sizeof row, "%s  %3ld:%02ld  seed %-9g %8s%s", when, seconds / 60,
                seconds % 60, static_cast<double>(saved.seed), sizeText(saved.bytes).c_str(),
                saved.automatic ? "  automatic" : "");
  return {row, saved.path, true};
}

void fill(SessionList& list, const std::string& note) {
  std::vector<SessionListRow> rows;
  for (const SavedSession& saved : listSavedSessions()) rows.push_back(rowOf(saved));
  const std::string folder = sessionsFolder();
  list.show(std::move(rows), note.empty() ? "in " + (folder.empty() ? "no folder" : folder) : note);
}

}  // namespace

void openSessionList(SessionList& list) { fill(list, ""); }

void pressInOpenSessionList(SessionList& list, Session& session, int symbol, bool shift) {
  const SessionListRow* chosen = list.chosenRow();
  const std::string path = chosen ? chosen->path : "";
  const int at = list.chosen;
  const SessionListAnswer answer = pressInSessionList(list, symbol, shift);
  switch (answer) {
    case SessionListAnswer::none:
    case SessionListAnswer::close: break;
    case SessionListAnswer::resume:
    case SessionListAnswer::replay:
      list.open = false;
      session.leaveFor(path, answer == SessionListAnswer::replay);
      break;
    case SessionListAnswer::remove: {
      const std::string name = path.substr(path.rfind('/') + 1);
      const bool removed = std::remove(path.c_str()) == 0;
      fill(list,
           removed ? "removed " + name : "cannot remove " + name + ": " + std::strerror(errno));
      // The row that took its place stays chosen.
      for (int i = at; i < static_cast<int>(list.rows.size()) && i >= 0; ++i)
        if (list.rows[static_cast<size_t>(i)].choosable) {
          list.chosen = i;
          break;
        }
      break;
    }
  }
}
