#include "session/recording_writer.h"

#include <cerrno>
#include <cstring>
#include <iostream>

#include "session/recording.h"

RecordingWriter::~RecordingWriter() { close(); }

bool RecordingWriter::open(const std::string& path, std::string& error) {
  file_ = std::fopen(path.c_str(), "w");
  if (!file_) {
    error = "cannot record to " + path + ": " + std::strerror(errno);
    return false;
  }
  path_ = path;
  line(headerLine());
  flush();
  return true;
}

void RecordingWriter::line(const std::string& text) {
  if (!file_ || failed_) return;
  check(std::fputs(text.c_str(), file_) >= 0 && std::fputc('\n', file_) != EOF);
}

void RecordingWriter::tick() {
  if (flushDue()) flush();
}

void RecordingWriter::flush() {
  flushed_ = Clock::now();
  if (file_ && !failed_) check(std::fflush(file_) == 0);
}

void RecordingWriter::close() {
  if (!file_) return;
  flush();
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  check(closed);
}

void RecordingWriter::check(bool ok) {
  if (ok || failed_) return;
  failed_ = true;
  std::cerr << "skyhook: cannot write the recording " << path_ << ": " << std::strerror(errno)
            << "; it is incomplete" << std::endl;
}
