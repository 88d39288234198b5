#include "app/console.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <deque>
#include <string>

#include "base/console_sink.h"

// Into a pipe of one page: at once while read, waiting while not, dropped past
// the buffer, and nothing more (and no SIGPIPE) once the reader is gone; what
// was not written is reported with its cause. The window's strip keeps the
// last five lines, whether they went out or not.
TEST(Console, LinesGoOutAtOnceWaitWhileTheReaderStallsAndStopWhenItIsGone) {
  int ends[2];
  ASSERT_EQ(pipe2(ends, O_NONBLOCK), 0);
  ASSERT_EQ(fcntl(ends[1], F_SETPIPE_SZ, 4096), 4096);
  auto received = [&ends] {
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    return text;
  };
  auto line = [](int i) { return "line " + std::to_string(i) + "\n"; };
  std::signal(SIGPIPE, SIG_IGN);  // as the program does at start-up
  Console console(ends[1], 1000);

  say("line ", 0);
  EXPECT_EQ(received(), line(0)) << "at once";
  EXPECT_EQ(console.recentLines(), std::deque<std::string>{"line 0"});
  for (int i = 1; i < 1000; ++i) say("line ", i);  // 4 KiB fill the pipe
  const long dropped = console.dropped();
  EXPECT_GT(dropped, 0);
  std::string got, sent;
  for (int i = 0; i < 10; ++i) got += received(), console.drain();
  for (int i = 1; i < 1000 - dropped; ++i) sent += line(i);
  EXPECT_EQ(got, sent) << "in order, the overflow dropped";

  close(ends[0]);
  say("to no", "body");
  EXPECT_EQ(console.dropped(), dropped + 1);
  EXPECT_EQ(console.recentLines(),
            (std::deque<std::string>{"line 996", "line 997", "line 998", "line 999", "to nobody"}));
  say("and one more");
  // The report names the cause: a reader gone, or a full device.
  ::testing::internal::CaptureStderr();
  console.finish();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "skyhook: " + std::to_string(dropped + 2) +
                " console lines not written: standard output was closed\n");
  close(ends[1]);

  const int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  ::testing::internal::CaptureStderr();
  {
    Console onFull(full);
    say("line");
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "skyhook: 1 console line not written: cannot write standard output: No space left "
            "on device\n");
  close(full);
}
