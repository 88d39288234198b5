#pragma once
// F6's panel: the saved sessions, newest first, one row each (date, length,
// seed, size), the chosen one lit; a file that cannot be read shows why and
// cannot be chosen. Up and Down choose, Enter resumes, Shift+Enter replays,
// Delete asks yes or no before removing, Escape or F6 closes. The app fills
// the rows and carries out what a key answers; this holds the panel's state.

#include <string>
#include <vector>

class WindowPixels;

struct SessionListRow {
  std::string text;
  std::string path;
  bool choosable = true;
};

struct SessionList {
  bool open = false;
  std::vector<SessionListRow> rows;
  int chosen = -1;      // none while no row can be chosen
  bool asking = false;  // Delete's yes/no about the chosen row
  std::string note;     // under the rows: the folder, or what went wrong

  // Opens it on these rows, the first choosable one chosen.
  void show(std::vector<SessionListRow> newRows, std::string newNote);
  const SessionListRow* chosenRow() const {
    return chosen >= 0 ? &rows[static_cast<size_t>(chosen)] : nullptr;
  }
};

// What a key press in the open panel asks of the app.
enum class SessionListAnswer { none, close, resume, replay, remove };

// Moves the choice, asks and answers Delete's question, or says what to do.
SessionListAnswer pressInSessionList(SessionList& list, int symbol, bool shift);

// The panel, centred in the picture over everything else.
void drawSessionList(const WindowPixels& window, const SessionList& list);
