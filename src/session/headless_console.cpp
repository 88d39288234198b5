#include "session/headless_console.h"

#include <unistd.h>

#include <cerrno>
#include <iostream>

HeadlessConsole::HeadlessConsole(std::ostream& stream, int fd) : LineStream(stream), fd_(fd) {}

void HeadlessConsole::endLine() {
  for (size_t done = 0; error_ == 0 && done < line_.size();) {
    const ssize_t n = write(fd_, line_.data() + done, line_.size() - done);
    if (n > 0) done += static_cast<size_t>(n);
    else if (n == 0 || errno != EINTR) error_ = n == 0 ? EIO : errno;
  }
  if (error_ != 0) ++lost_;
  line_.clear();
}

bool HeadlessConsole::finish() {
  if (!line_.empty()) endLine();
  if (lost_ == 0) return true;
  std::cerr << linesNotWritten(lost_, error_) << std::flush;
  return false;
}
