#pragma once
// Where S keeps the session so far: $XDG_DATA_HOME/skyhook/sessions (with
// ~/.local/share in its place when it is unset), one recording per save,
// named after the moment it was saved.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

// The folder, without making it; empty when neither $XDG_DATA_HOME nor a home
// folder is known.
std::string sessionsFolder();

// Writes the recording's text to a new file in the folder, making the folders
// as needed: skyhook-YYYYMMDD-HHMMSS.rec in local time, with "-2", "-3", ...
// before ".rec" when that name is taken. Never overwrites a file. The text is
// written whole under a hidden name (".skyhook-...rec.PID.tmp") and renamed to
// its own, so that a kill leaves no half file under a session's name, and a
// save that fails leaves no file at all. The file's path, or nullopt with
// `error` saying why.
// An automatic save (at quit, or before leaving for another session) is
// named skyhook-auto-YYYYMMDD-HHMMSS.rec.
std::optional<std::string> saveSession(const std::string& text, std::time_t when,
                                       std::string& error, bool automatic = false);

// Automatic saves kept; the older ones go. Saves made with S are never removed.
constexpr int kAutomaticSavesKept = 10;
// Removes the automatic saves beyond the newest kAutomaticSavesKept.
void pruneAutomaticSaves();

// A saved session as the list of saved sessions shows it.
struct SavedSession {
  std::string path;
  std::string name;  // the file's name
  std::time_t modified = 0;
  std::uintmax_t bytes = 0;
  bool automatic = false;
  bool readable = false;
  std::string reason;  // why it cannot be read
  long frames = 0;     // its length
  float seed = 0;      // the landscape seed it starts with
};

// The recordings in the folder, newest first; each read in full, so that one
// the reader refuses shows as unreadable with the reason. Empty when the folder
// does not exist.
std::vector<SavedSession> listSavedSessions();
// The newest saved session, automatic or not; empty when there is none.
std::string newestSavedSession();
// The landscape seed that the start-up draws from the recording's first clock
// reading: the same draw, with the random generator and its clock put back.
float landscapeSeedOf(std::time_t firstSecond);
