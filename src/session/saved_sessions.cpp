#include "session/saved_sessions.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/whole_file.h"
#include "base/write_all.h"

namespace {

// A relative XDG_DATA_HOME or HOME is invalid and ignored, as desktops do.
std::string absoluteOrEmpty(const char* path) {
  return path && path[0] == '/' ? std::string(path) : std::string();
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
                                       std::string& error) {
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
  const std::string stem = folder + "/skyhook-" + stamp;

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
