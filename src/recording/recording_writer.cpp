#include "recording/recording_writer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "base/write_all.h"
#include "recording/recording.h"

RecordingWriter::~RecordingWriter() { close(); }

bool RecordingWriter::open(const std::string& path, std::string& error) {
  auto refuse = [&](const std::string& why) {
    error = "cannot record to " + path + ": " + why;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    return false;
  };
  // Not emptied before it is locked: a second writer must leave the first one's file whole.
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd_ < 0) return refuse(std::strerror(errno));
  struct stat info {};
  regular_ = fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
  // Devices and pipes are not locked: two sessions may well record to /dev/null.
  if (regular_ && flock(fd_, LOCK_EX | LOCK_NB) != 0)
    return refuse(errno == EWOULDBLOCK ? "another skyhook is recording to it"
                                       : std::strerror(errno));
  if (regular_ && ftruncate(fd_, 0) != 0) return refuse(std::strerror(errno));
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
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (!closed && !path_.empty()) report(errno);
}

void RecordingWriter::report(int error) {
  if (failed_) return;
  failed_ = true;
  std::cerr << "skyhook: cannot write the recording " << path_ << ": " << std::strerror(error)
            << "; it is incomplete" << std::endl;
}
