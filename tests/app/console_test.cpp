#include "app/console.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace {

std::string readAll(int fd) {
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, n);
  return text;
}

std::string numbered(int from, int to) {
  std::string text;
  for (int i = from; i < to; ++i) text += "line " + std::to_string(i) + "\n";
  return text;
}

}  // namespace

// Into a pipe of one page: at once while read, held while not, dropped when
// the buffer is full, and nothing more (and no SIGPIPE) once the reader is gone.
TEST(Console, LinesGoOutAtOnceWaitWhileTheReaderStallsAndStopWhenItIsGone) {
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
  ASSERT_EQ(fcntl(pipeEnds[1], F_SETPIPE_SZ, 4096), 4096);
  std::ostream out(nullptr);
  Console console(out, pipeEnds[1], 1000);

  out << "line " << 0 << std::endl;
  EXPECT_EQ(readAll(pipeEnds[0]), numbered(0, 1)) << "at once";

  // 4,096 bytes fill the pipe, 1,000 more wait; every line ends without waiting.
  for (int i = 1; i < 1000; ++i) out << "line " << i << std::endl;
  const long dropped = console.dropped();
  EXPECT_GT(dropped, 0);
  std::string received;
  for (int i = 0; i < 10; ++i) received += readAll(pipeEnds[0]), console.drain();
  EXPECT_EQ(received, numbered(1, 1000 - dropped)) << "in order, the overflow dropped";
  EXPECT_GT(received.size(), 4096u);

  close(pipeEnds[0]);
  out << "to nobody" << std::endl << "nor this" << std::endl;
  console.drain();
  EXPECT_EQ(console.dropped(), dropped + 2);
  close(pipeEnds[1]);
}
