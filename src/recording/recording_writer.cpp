#include "recording/recording_writer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "base/whole_file.h"
#include "base/write_all.h"
#include "recording/recording.h"

namespace {

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

RecordingWriter::~RecordingWriter() {
  if (!replacing()) {
    close();
    return;
  }
  ::close(fd_);
  unlink(temporary_.c_str());
  ::close(lockFd_);
}

bool RecordingWriter::open(const std::string& path, std::string& error) {
  auto refuse = [&](const std::string& why) {
    error = "cannot record to " + path + ": " + why;
    if (fd_ >= 0) ::close(fd_);
    if (replacing()) {
      if (fd_ >= 0) unlink(temporary_.c_str());
      ::close(lockFd_);
    }
    fd_ = lockFd_ = -1;
    return false;
  };
  struct stat info {};
  // Not emptied before it is locked: a second writer must leave the first one's
  // file whole. A file renamed over the path between the open and the lock (a
  // first writer's recording taking its place) is the path's no more: again.
  for (int tries = 1;; ++tries) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd_ < 0) return refuse(std::strerror(errno));
    regular_ = fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
    // Devices and pipes are not locked: two sessions may well record to /dev/null.
    if (!regular_) break;
    if (flock(fd_, LOCK_EX | LOCK_NB) != 0)
      return refuse(errno == EWOULDBLOCK ? "another skyhook is recording to it"
                                         : std::strerror(errno));
    struct stat named {};
    if (fstat(fd_, &info) != 0) return refuse(std::strerror(errno));
    if (tries == 10 || (stat(path.c_str(), &named) == 0 && sameFile(named, info))) break;
    ::close(fd_);
  }
  if (regular_ && info.st_size > 0) {
    // It keeps what it holds until the new recording is whole.
    char* real = realpath(path.c_str(), nullptr);
    target_ = real ? real : path;
    std::free(real);
    temporary_ = temporaryPathFor(target_);
    lockFd_ = fd_;
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ < 0) return refuse("cannot make " + temporary_ + ": " + std::strerror(errno));
    fchmod(fd_, info.st_mode & 07777);  // the new recording keeps the file's permissions
  } else if (regular_ && ftruncate(fd_, 0) != 0) {
    return refuse(std::strerror(errno));
  }
  path_ = path;
  if (!writeWhole(headerLine() + '\n')) return refuse(std::strerror(errno));
  written_ = Clock::now();
  return true;
}

void RecordingWriter::line(const std::string& text) {
  if (fd_ < 0 || failed_) return;
  written_ = Clock::now();
  if (!writeWhole(text + '\n')) report(errno);
}

bool RecordingWriter::writeWhole(const std::string& bytes) {
  if (const int error = writeAll(fd_, bytes)) {
    // The part that went out would leave a line cut off, which a reader refuses.
    if (regular_ && ftruncate(fd_, whole_) == 0) lseek(fd_, whole_, SEEK_SET);
    errno = error;
    return false;
  }
  whole_ += static_cast<off_t>(bytes.size());
  return true;
}

void RecordingWriter::close() {
  if (fd_ < 0) return;
  if (replacing()) {
    const int error = replace();
    if (error || failed_) unlink(temporary_.c_str());
    if (error) report(error);
    ::close(lockFd_);  // only now: the lock holds until the new recording has the name
    lockFd_ = -1;
    return;
  }
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (!closed && !path_.empty()) report(errno);
}

void RecordingWriter::discard() {
  if (fd_ < 0) return;
  if (replacing()) {
    unlink(temporary_.c_str());
    ::close(lockFd_);
    lockFd_ = -1;
  } else if (regular_) {
    unlink(path_.c_str());  // while still locked, so no other writer takes it up first
  }
  ::close(fd_);
  fd_ = -1;
}

int RecordingWriter::replace() {
  int error = failed_ ? 0 : flushToDisk(fd_);
  if (::close(fd_) != 0 && error == 0) error = errno;
  fd_ = -1;
  if (failed_ || error) return error;
  return renameIntoPlace(temporary_, target_, true);
}

void RecordingWriter::report(int error) {
  if (failed_) return;
  failed_ = true;
  std::cerr << "skyhook: cannot write the recording " << path_ << ": " << std::strerror(error)
            << (replacing() ? "; it keeps what it held before" : "; it is incomplete") << std::endl;
}
