#include "base/console_sink.h"

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
  if (const ConsoleSink& sink = current())
    sink(line);
  else
    std::cout << line << std::endl;
}
