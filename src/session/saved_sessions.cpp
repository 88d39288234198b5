#include "session/saved_sessions.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/random.h"
#include "base/whole_file.h"
#include "base/write_all.h"
#include "recording/recording_reader.h"
#include "session/keyframe_file.h"

namespace {

// A relative XDG_DATA_HOME or HOME is invalid and ignored, as desktops do.
std::string absoluteOrEmpty(const char* path) {
  return path && path[0] == '/' ? std::string(path) : std::string();
}

constexpr char kAutomaticPrefix[] = "skyhook-auto-";

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A session's file: a recording named by a save, not a hidden one being written.
bool isSessionFile(const std::filesystem::directory_entry& entry) {
  const std::string name = entry.path().filename().string();
  std::error_code ignored;
  return startsWith(name, "skyhook-") && endsWith(name, ".rec") && entry.is_regular_file(ignored);
}

struct Found {
  std::string path, name;
  std::time_t modified;
  std::uintmax_t bytes;
};

// The folder's session files, newest first (by the time they were written,
// then by name, for saves within one second).
std::vector<Found> sessionFiles() {
  std::vector<Found> found;
  const std::string folder = sessionsFolder();
  std::error_code error;
  if (folder.empty()) return found;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    if (!isSessionFile(*it)) continue;
    struct stat info {};
    if (stat(it->path().c_str(), &info) != 0) continue;
    found.push_back({it->path().string(), it->path().filename().string(), info.st_mtime,
                     static_cast<std::uintmax_t>(info.st_size)});
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return a.modified != b.modified ? a.modified > b.modified : a.name > b.name;
  });
  return found;
}

std::string homeFolder() {
  std::string home = absoluteOrEmpty(std::getenv("HOME"));
  if (home.empty())
    if (const passwd* user = getpwuid(getuid())) home = absoluteOrEmpty(user->pw_dir);
  return home;
}

}  // namespace

std::string sessionsFolder() {
  std::string data = absoluteOrEmpty(std::getenv("XDG_DATA_HOME"));
  if (data.empty()) {
    const std::string home = homeFolder();
    if (home.empty()) return {};
    data = home + "/.local/share";
  }
  return data + "/skyhook/sessions";
}

std::optional<std::string> saveSession(const std::string& text, std::time_t when,
                                       std::string& error, bool automatic) {
  const std::string folder = sessionsFolder();
  if (folder.empty()) {
    error = "cannot save the session: neither XDG_DATA_HOME nor a home folder is set";
    return std::nullopt;
  }
  std::error_code made;
  std::filesystem::create_directories(folder, made);
  if (made) {
    error = "cannot save the session: cannot make " + folder + ": " + made.message();
    return std::nullopt;
  }
  std::tm local{};
  localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string stem = folder + "/" + (automatic ? kAutomaticPrefix : "skyhook-") + stamp;

  // Written whole under a hidden name of this process's, then given its own:
  // a kill at any moment leaves no half recording under a session's name.
  std::string path = stem + ".rec";
  const std::string temporary = temporaryPathFor(path, std::to_string(getpid()));
  const int fd =
      open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = "cannot save the session in " + folder + ": " + std::strerror(errno);
    return std::nullopt;
  }
  // A full disk shows at the write, the flush or the close; either way no file stays.
  int why = writeAll(fd, text);
  if (why == 0) why = flushToDisk(fd);
  if (close(fd) != 0 && why == 0) why = errno;
  for (int copy = 2; why == 0; ++copy) {
    why = renameIntoPlace(temporary, path, false);
    if (why == 0) return path;
    if (why != EEXIST) break;
    if (copy == 1000) {
      unlink(temporary.c_str());
      error = "cannot save the session: every name for " + stem + ".rec is taken";
      return std::nullopt;
    }
    why = 0;
    path = stem + "-" + std::to_string(copy) + ".rec";
  }
  unlink(temporary.c_str());
  error = "cannot save the session in " + folder + ": " + std::strerror(why);
  return std::nullopt;
}

void pruneAutomaticSaves() {
  int kept = 0;
  for (const Found& file : sessionFiles()) {
    if (!startsWith(file.name, kAutomaticPrefix) || ++kept <= kAutomaticSavesKept) continue;
    unlink(file.path.c_str());
    unlink(keyframesPathFor(file.path).c_str());
  }
}

float landscapeSeedOf(std::time_t firstSecond) {
  const RandomClock clock = randomClock();
  const RandomState random = saveRandomState();
  setRandomClock([firstSecond] { return firstSecond; });
  const float seed = Randomf_nb();
  setRandomClock(clock);
  restoreRandomState(random);
  return seed;
}

std::vector<SavedSession> listSavedSessions() {
  std::vector<SavedSession> sessions;
  for (const Found& file : sessionFiles()) {
    SavedSession session;
    session.path = file.path;
    session.name = file.name;
    session.modified = file.modified;
    session.bytes = file.bytes;
    session.automatic = startsWith(file.name, kAutomaticPrefix);
    std::string error;
    const std::optional<Recording> recording = readRecording(file.path, error);
    if (recording) {
      session.readable = true;
      session.frames = recording->end;
      const auto clock = recording->clockOf(0);
      if (clock.begin() != clock.end()) session.seed = landscapeSeedOf(clock.begin()->second);
    } else {
      // The reader names the file first; the list shows the name already.
      session.reason =
          startsWith(error, file.path + ":") ? error.substr(file.path.size() + 1) : error;
      session.reason.erase(0, session.reason.find_first_not_of(' '));
    }
    sessions.push_back(std::move(session));
  }
  return sessions;
}

std::string newestSavedSession() {
  const std::vector<Found> files = sessionFiles();
  return files.empty() ? std::string() : files.front().path;
}
