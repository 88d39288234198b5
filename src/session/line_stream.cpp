#include "session/line_stream.h"

#include <cerrno>
#include <cstring>

LineStream::LineStream(std::ostream& stream) : stream_(stream), saved_(stream.rdbuf(this)) {}

LineStream::~LineStream() { release(); }

void LineStream::release() {
  if (stream_.rdbuf() == this) stream_.rdbuf(saved_);
}

int LineStream::overflow(int c) {
  if (c == traits_type::eof()) return traits_type::not_eof(c);
  line_ += static_cast<char>(c);
  if (c == '\n') completeLine();
  return c;
}

std::streamsize LineStream::xsputn(const char* s, std::streamsize n) {
  for (std::streamsize i = 0; i < n;) {
    const char* end = static_cast<const char*>(std::memchr(s + i, '\n', n - i));
    const std::streamsize upTo = end ? end - s + 1 : n;
    line_.append(s + i, upTo - i);
    if (end) completeLine();
    i = upTo;
  }
  return n;
}

void LineStream::completeLine() {
  endLine();
  line_.clear();
}

std::string linesNotWritten(long lines, int error) {
  const std::string cause = error == 0        ? "standard output was not read in time"
                            : error == EPIPE ? "standard output was closed"
                                             : "cannot write standard output: " +
                                                   std::string(std::strerror(error));
  return "skyhook: " + std::to_string(lines) + " console line" + (lines == 1 ? "" : "s") +
         " not written: " + cause + "\n";
}
