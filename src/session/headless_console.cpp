#include "session/headless_console.h"

#include <iostream>

#include "base/write_all.h"

HeadlessConsole::HeadlessConsole(int fd)
    : fd_(fd), sink_([this](const std::string& line) { take(line); }) {}

void HeadlessConsole::take(const std::string& line) {
  if (error_ == 0) error_ = writeAll(fd_, line + '\n');
  if (error_ != 0) ++lost_;
}

bool HeadlessConsole::finish() {
  if (lost_ == 0) return true;
  std::cerr << linesNotWritten(lost_, error_) << std::flush;
  return false;
}
