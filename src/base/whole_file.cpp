#include "base/whole_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>

namespace {

std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The rename is durable only once the folder's entry is on the disk. Some
// file systems cannot flush a folder; the file itself is already whole there.
void flushFolderOf(const std::string& path) {
  const int folder = open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return;
  fsync(folder);
  close(folder);
}

}  // namespace

std::string temporaryPathFor(const std::string& path, const std::string& tag) {
  const size_t slash = path.rfind('/');
  const size_t name = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, name) + '.' + path.substr(name) + (tag.empty() ? "" : '.' + tag) + ".tmp";
}

int flushToDisk(int fd) {
  while (fsync(fd) != 0)
    if (errno != EINTR) return errno;
  return 0;
}

int renameIntoPlace(const std::string& temporary, const std::string& path, bool replace) {
  if (replace) {
    if (rename(temporary.c_str(), path.c_str()) != 0) return errno;
  } else if (renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) !=
             0) {
    // A file system without the flag: a second link never takes a name that is taken.
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
    if (link(temporary.c_str(), path.c_str()) != 0) return errno;
    unlink(temporary.c_str());
  }
  flushFolderOf(path);
  return 0;
}
