#pragma once
// Standard output of a headless replay, installed into a stream (std::cout)
// for its lifetime. The console lines are what the replay is for, so each is
// written in full however slow the reader. Once a write fails (a full device,
// a reader gone) the lines after it are counted instead, and finish() reports
// the count on standard error.

#include <ostream>
#include <streambuf>
#include <string>

class HeadlessConsole : public std::streambuf {
 public:
  HeadlessConsole(std::ostream& stream, int fd);
  ~HeadlessConsole() override;  // puts the stream's own buffer back
  HeadlessConsole(const HeadlessConsole&) = delete;
  HeadlessConsole& operator=(const HeadlessConsole&) = delete;

  // At the end: the count of lines not written, with the cause, on standard
  // error. False when there were any.
  bool finish();

  long lost() const { return lost_; }

 protected:
  int overflow(int c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;

 private:
  void endLine();

  std::ostream& stream_;
  std::streambuf* saved_;
  int fd_;
  std::string line_;
  long lost_ = 0;
  int error_ = 0;  // of the write that failed
};
