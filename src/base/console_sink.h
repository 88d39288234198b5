#pragma once
// Console lines: the game says each one here, and one sink, set by whoever runs
// the game (the live console, a headless replay, the history, a test), takes
// it. With none set a line goes to standard output, flushed at its end.

#include <functional>
#include <sstream>
#include <string>
#include <utility>

// Takes one whole console line, without its line end.
using ConsoleSink = std::function<void(const std::string& line)>;

// Replaces the sink; an empty one restores standard output.
void setConsoleSink(ConsoleSink sink);
// The sink in place now, to put back later.
ConsoleSink consoleSink();

// Says one line, given without its line end.
void sayLine(const std::string& line);

// Says one line of its parts, formatted as `std::cout << part` formats them.
template <typename... Parts>
void say(const Parts&... parts) {
  std::ostringstream line;
  (line << ... << parts);
  sayLine(line.str());
}

// Sets a sink for its lifetime, then puts back the one it replaced.
class ConsoleSinkScope {
 public:
  explicit ConsoleSinkScope(ConsoleSink sink) : saved_(consoleSink()) {
    setConsoleSink(std::move(sink));
  }
  ~ConsoleSinkScope() { setConsoleSink(std::move(saved_)); }
  ConsoleSinkScope(const ConsoleSinkScope&) = delete;
  ConsoleSinkScope& operator=(const ConsoleSinkScope&) = delete;

 private:
  ConsoleSink saved_;
};

// What a console writing standard output reports at exit: "skyhook: N console
// lines not written: CAUSE", with its line end. `error` is the failed write's
// errno, or 0 where the reader was there but did not take the lines in time.
std::string linesNotWritten(long lines, int error);
