#pragma once
// Where S keeps the session so far: $XDG_DATA_HOME/skyhook/sessions (with
// ~/.local/share in its place when it is unset), one recording per save,
// named after the moment it was saved.

#include <ctime>
#include <optional>
#include <string>

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
std::optional<std::string> saveSession(const std::string& text, std::time_t when,
                                       std::string& error);
