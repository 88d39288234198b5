#pragma once
// Standard output that can neither hold up nor end the frame loop: the console's
// sink for its lifetime. Each line is written at once while the reader keeps up;
// while it stalls, lines wait in a bounded buffer and go out as it makes room,
// without ever waiting; with the buffer full, further lines are dropped. Once
// the reader is gone (EPIPE) nothing more is written. The count of lines that
// never went out is reported once on standard error.

#include <cstddef>
#include <deque>
#include <string>

#include "base/console_sink.h"

class Console {
 public:
  static constexpr std::size_t kCapacity = 256 * 1024;

  explicit Console(int fd, std::size_t capacity = kCapacity);
  ~Console();  // finish()
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // Writes what the reader has room for, without waiting.
  void drain();
  // At exit: a reader still taking lines gets up to a second for the rest; the
  // lines that never went out are reported. Runs once.
  void finish();

  long dropped() const { return dropped_; }

  // The last lines, oldest first, without their line ends, whether
  // they went out or not: what the window's console strip shows.
  static constexpr std::size_t kRecentLines = 5;
  const std::deque<std::string>& recentLines() const { return recent_; }

 private:
  void take(const std::string& line);
  void lose(int error);  // the reader is gone, or the device full: what waits is lost

  int fd_;                // where the lines go: our own non-blocking description where possible
  int ownFd_ = -1;        // that description, when we opened one
  int sharedFlags_ = -1;  // the flags to put back when we had to set O_NONBLOCK on fd
  std::size_t capacity_;
  std::string pending_;
  std::deque<std::string> recent_;
  std::size_t written_ = 0;  // bytes of pending_ already written
  long dropped_ = 0;
  int error_ = 0;  // of the write that failed
  bool gone_ = false, finished_ = false;
  ConsoleSinkScope sink_;  // last: set once the rest is ready, put back first
};
