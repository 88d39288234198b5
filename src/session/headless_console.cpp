#include "session/headless_console.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

HeadlessConsole::HeadlessConsole(std::ostream& stream, int fd)
    : stream_(stream), saved_(stream.rdbuf(this)), fd_(fd) {}

HeadlessConsole::~HeadlessConsole() { stream_.rdbuf(saved_); }

int HeadlessConsole::overflow(int c) {
  if (c == traits_type::eof()) return traits_type::not_eof(c);
  line_ += static_cast<char>(c);
  if (c == '\n') endLine();
  return c;
}

std::streamsize HeadlessConsole::xsputn(const char* s, std::streamsize n) {
  for (std::streamsize i = 0; i < n;) {
    const char* end = static_cast<const char*>(std::memchr(s + i, '\n', n - i));
    const std::streamsize upTo = end ? end - s + 1 : n;
    line_.append(s + i, upTo - i);
    if (end) endLine();
    i = upTo;
  }
  return n;
}

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
  std::cerr << "skyhook: " << lost_ << " console line" << (lost_ == 1 ? "" : "s")
            << " not written: "
            << (error_ == EPIPE ? std::string("standard output was closed")
                                : "cannot write standard output: " + std::string(std::strerror(error_)))
            << std::endl;
  return false;
}
