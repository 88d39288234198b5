#pragma once
// Writes a recording's lines to a file as the game goes, each line in one
// write of its own: a process killed at any moment leaves whole lines only,
// and nothing waits in a buffer of ours. One writer per file: the file is
// locked while it is written. A write that fails (a full disk) is reported
// once on standard error, the file is cut back to its last whole line, the
// lines after it are dropped and the game goes on.

#include <sys/types.h>

#include <chrono>
#include <string>

class RecordingWriter {
 public:
  RecordingWriter() = default;
  ~RecordingWriter();
  RecordingWriter(const RecordingWriter&) = delete;
  RecordingWriter& operator=(const RecordingWriter&) = delete;

  // Creates the file (or empties it), locks it and writes the first line.
  // False, with `error` naming the file and the reason, when it cannot be
  // created, another writer holds it, or the first line cannot be written.
  bool open(const std::string& path, std::string& error);

  // Writes the line and its line end at once.
  void line(const std::string& text);
  // Nothing was written for a second.
  bool quietForASecond() const { return Clock::now() - written_ >= std::chrono::seconds(1); }
  // Closes the file, which unlocks it; nothing more is written.
  void close();

  bool failed() const { return failed_; }
  const std::string& path() const { return path_; }

 private:
  using Clock = std::chrono::steady_clock;
  // Writes all of it, or cuts the file back to where it was; false on failure.
  bool writeWhole(const std::string& bytes);
  void report(int error);

  int fd_ = -1;
  bool regular_ = false;  // a regular file, which can be locked and cut back
  off_t whole_ = 0;       // bytes of whole lines written
  std::string path_;
  bool failed_ = false;
  Clock::time_point written_{};
};
