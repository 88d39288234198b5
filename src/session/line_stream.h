#pragma once
// A stream buffer that takes a stream's place (std::cout) for its lifetime and
// hands on each complete line, its end included: the windowed game's console
// and the headless replay's standard output both write whole lines.

#include <ostream>
#include <streambuf>
#include <string>

class LineStream : public std::streambuf {
 public:
  explicit LineStream(std::ostream& stream);
  ~LineStream() override;  // puts the stream's own buffer back
  LineStream(const LineStream&) = delete;
  LineStream& operator=(const LineStream&) = delete;

 protected:
  // line_ holds a complete line; it is emptied after the call.
  virtual void endLine() = 0;
  // Puts the stream's own buffer back before the end of this one's life.
  void release();

  int overflow(int c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;

  std::string line_;

 private:
  void completeLine();

  std::ostream& stream_;
  std::streambuf* saved_;
};

// What both report at exit: "skyhook: N console lines not written: CAUSE",
// with its line end. `error` is the failed write's errno, or 0 where the reader
// was there but did not take the lines in time.
std::string linesNotWritten(long lines, int error);
