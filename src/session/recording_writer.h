#pragma once
// Writes a recording's lines to a file as the game goes: flushed at least once
// a second, so that a crash leaves all but the last second on disk. A write
// that fails (a full disk) is reported once on standard error; the lines after
// it are dropped and the game goes on.

#include <chrono>
#include <cstdio>
#include <string>

class RecordingWriter {
 public:
  RecordingWriter() = default;
  ~RecordingWriter();
  RecordingWriter(const RecordingWriter&) = delete;
  RecordingWriter& operator=(const RecordingWriter&) = delete;

  // Creates the file (or empties it) and writes the first line. False, with
  // `error` naming the file and the reason, when it cannot be created.
  bool open(const std::string& path, std::string& error);

  void line(const std::string& text);
  // Once a frame: flushes when a second has passed since the last flush.
  void tick();
  bool flushDue() const { return Clock::now() - flushed_ >= std::chrono::seconds(1); }
  // Flushes and closes; nothing more is written.
  void close();
  // Flushes now; safe to call from a dying process's last handler.
  void flush();

  bool failed() const { return failed_; }
  const std::string& path() const { return path_; }

 private:
  using Clock = std::chrono::steady_clock;
  void check(bool ok);

  std::FILE* file_ = nullptr;
  std::string path_;
  bool failed_ = false;
  Clock::time_point flushed_{};
};
