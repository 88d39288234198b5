#pragma once
// Captures the console lines said while it lives: the console's sink.

#include <sstream>
#include <string>
#include <vector>

#include "base/console_sink.h"

class ConsoleCapture {
 public:
  ConsoleCapture() : sink_([this](const std::string& line) { text_ += line + '\n'; }) {}
  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;

  std::string text() const { return text_; }
  std::vector<std::string> lines() const {
    std::vector<std::string> out;
    std::istringstream in(text_);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
  }
  void clear() { text_.clear(); }

 private:
  std::string text_;
  ConsoleSinkScope sink_;  // last: set once the rest is ready, put back first
};
