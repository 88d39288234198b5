#include "base/console_sink.h"

#include <cerrno>
#include <cstring>
#include <iostream>

namespace {
ConsoleSink& current() {
  static ConsoleSink sink;
  return sink;
}
}  // namespace

void setConsoleSink(ConsoleSink sink) { current() = std::move(sink); }

ConsoleSink consoleSink() { return current(); }

void sayLine(const std::string& line) {
  if (const ConsoleSink& sink = current()) sink(line);
  else std::cout << line << std::endl;
}

std::string linesNotWritten(long lines, int error) {
  const std::string cause =
      error == 0       ? "standard output was not read in time"
      : error == EPIPE ? "standard output was closed"
                       : "cannot write standard output: " + std::string(std::strerror(error));
  return "skyhook: " + std::to_string(lines) + " console line" + (lines == 1 ? "" : "s") +
         " not written: " + cause + "\n";
}
