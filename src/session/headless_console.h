#pragma once
// Standard output of a headless replay: the console's sink for its lifetime.
// The console lines are what the replay is for, so each is written in full
// however slow the reader. Once a write fails (a full device, a reader gone)
// the lines after it are counted instead, and finish() reports the count on
// standard error.

#include <string>

#include "base/console_sink.h"

class HeadlessConsole {
 public:
  explicit HeadlessConsole(int fd);

  // At the end: the count of lines not written, with the cause, on standard
  // error. False when there were any.
  bool finish();

  long lost() const { return lost_; }

 private:
  void take(const std::string& line);

  int fd_;
  long lost_ = 0;
  int error_ = 0;          // of the write that failed
  ConsoleSinkScope sink_;  // last: set once the rest is ready, put back first
};
