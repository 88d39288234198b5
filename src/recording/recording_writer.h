#pragma once
// Writes a recording's lines to a file as the game goes, each line in one
// write of its own: a process killed at any moment leaves whole lines only,
// and nothing waits in a buffer of ours. One writer per file: the file is
// locked while it is written. A write that fails (a full disk) is reported
// once on standard error, the file is cut back to its last whole line, the
// lines after it are dropped and the game goes on.
//
// A file that already holds something (a recording, perhaps the one being
// resumed) is never written over line by line: the lines go to a hidden file
// beside it (".NAME.tmp"), which takes its name at close, flushed to the disk
// and renamed over it. Until then the file holds what it held before, a kill
// included; a recording that fails is dropped and leaves the file as it was.

#include <sys/types.h>

#include <chrono>
#include <string>

class RecordingWriter {
 public:
  RecordingWriter() = default;
  // Without close(), a file that was to be replaced is left as it was.
  ~RecordingWriter();
  RecordingWriter(const RecordingWriter&) = delete;
  RecordingWriter& operator=(const RecordingWriter&) = delete;

  // Creates the file (or empties it, or makes the hidden file that will
  // replace it), locks it and writes the first line. False, with `error`
  // naming the file and the reason, when it cannot be created, another writer
  // holds it, or the first line cannot be written.
  bool open(const std::string& path, std::string& error);

  // Writes the line and its line end at once.
  void line(const std::string& text);
  // Nothing was written for a second.
  bool quietForASecond() const { return Clock::now() - written_ >= std::chrono::seconds(1); }
  // Closes the file, which unlocks it; nothing more is written. A file being
  // replaced takes the new recording's place now, if it was written in full.
  void close();

  // Closes the file and takes back what was written: a file it created goes,
  // a file it was to replace keeps what it held.
  void discard();

  bool failed() const { return failed_; }
  const std::string& path() const { return path_; }
  // Where the lines go until close(): the path, or the hidden file that replaces it.
  const std::string& writingTo() const { return replacing() ? temporary_ : path_; }

 private:
  using Clock = std::chrono::steady_clock;
  bool replacing() const { return lockFd_ >= 0; }
  // Writes all of it, or cuts the file back to where it was; false on failure.
  bool writeWhole(const std::string& bytes);
  // Gives the hidden file the path's name; the errno of what failed, or 0.
  int replace();
  void report(int error);

  int fd_ = -1;
  int lockFd_ = -1;       // the file being replaced, open only to hold its lock
  bool regular_ = false;  // a regular file, which can be locked and cut back
  off_t whole_ = 0;       // bytes of whole lines written
  std::string path_;
  std::string target_;     // the file the hidden one replaces, its links followed
  std::string temporary_;  // the hidden file
  bool failed_ = false;
  Clock::time_point written_{};
};
