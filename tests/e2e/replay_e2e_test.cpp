// Recording and replay on the real program: a session played with real key
// presses, replayed in the window and without one, prints the same lines and
// ends with the same world; bad recordings are refused before anything plays.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "e2e/sandbox.h"

namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

// A directory of its own for the test's files, removed with them afterwards.
class Scratch {
 public:
  Scratch() {
    char name[] = "/tmp/skyhook-replay-XXXXXX";
    if (!mkdtemp(name)) throw std::runtime_error("mkdtemp failed");
    path_ = name;
  }
  ~Scratch() { std::filesystem::remove_all(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

bool has(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

Lines stderrLines(const std::string& errors) {
  Lines out;
  size_t start = 0;
  for (size_t end; (end = errors.find('\n', start)) != std::string::npos; start = end + 1)
    out.push_back(errors.substr(start, end - start));
  return out;
}

// Pixels that differ above the bottom line of text, where each picture's '0'
// moves on from the last: its place counts the pictures drawn, not the world.
long differingPixels(const Screenshot& a, const Screenshot& b) {
  if (a.width() != b.width() || a.height() != b.height()) return -1;
  long count = 0;
  for (int y = 0; y < a.height() - 13; ++y)
    for (int x = 0; x < a.width(); ++x) {
      const Pixel &p = a.at(x, y), &q = b.at(x, y);
      count += p.r != q.r || p.g != q.g || p.b != q.b;
    }
  return count;
}

// Pixels of the marks' dark grey in the top-right corner, where "REPLAY" and
// "PAUSE" show: about 800 for each.
int markPixels(const Screenshot& shot) {
  int count = 0;
  for (int y = 6; y < 26; ++y)
    for (int x = shot.width() - 160; x < shot.width(); ++x) {
      const Pixel& p = shot.at(x, y);
      count += p.r >= 25 && p.r <= 26 && p.g == p.r && p.b == p.r;
    }
  return count;
}

// C at (x, y): the program prints the new car's lines.
bool makesACar(Sandbox& s, int x, int y) {
  const size_t before = s.lines().size();
  s.keyAt("c", x, y);
  return within(10s, [&] { return s.lines().size() > before; });
}

// `feed | skyhook --replay /dev/stdin --headless` without a display, the program
// in 1 GiB of address space and killed after a minute: its exit status and errors.
std::pair<int, std::string> replayFed(const std::string& feed) {
  const std::string command = "(" + feed +
                              ") 2>/dev/null | (ulimit -v 1048576; exec env -u DISPLAY "
                              "timeout -s KILL 60 " SKYHOOK_BINARY
                              " --replay /dev/stdin --headless 2>&1 >/dev/null)";
  FILE* run = popen(command.c_str(), "r");
  std::string errors;
  for (int c; (c = fgetc(run)) != EOF;) errors += static_cast<char>(c);
  const int status = pclose(run);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, errors};
}

}  // namespace

// S keeps the session so far; --resume goes on from it, the world as it was, and
// its own recording replays both parts; in the window it stops, speeds up, is
// taken over and outlives its end.
TEST(ReplayE2E, ASavedSessionResumesAndItsNewRecordingReplaysOnItsOwn) {
  const Scratch scratch;
  const std::map<std::string, std::string> env = {{"XDG_DATA_HOME", scratch.path() + "/data"}};
  const std::string record = scratch.path() + "/resumed.rec";
  std::string saved, digest, resumedDigest;
  Screenshot atSave;
  {
    Sandbox s(env, {}, {"--digest"});
    ASSERT_TRUE(s.waitForLineStartingWith("SEED = ")) << s.errors();
    ASSERT_TRUE(s.waitForWindow());
    s.key("b");
    s.holdKey("space", 1s);
    s.keyDown("Right");  // still held at S
    std::this_thread::sleep_for(300ms);
    s.key("p");  // time stopped: the world at exit is the world at S
    std::this_thread::sleep_for(200ms);
    s.key("s");
    const std::regex named("skyhook: saved the session so far to (" + scratch.path() +
                           "/data/skyhook/sessions/skyhook-[0-9]{8}-[0-9]{6}\\.rec)\n");
    std::smatch match;
    ASSERT_TRUE(within(10s, [&] {
      const std::string errors = s.errors();
      return std::regex_search(errors, match, named) && (saved = match[1], true);
    })) << s.errors();
    s.keyUp("Right");
    atSave = s.screenshot();
    s.key("Escape");
    ASSERT_EQ(s.waitForExit(), 0) << s.errors();
    digest = digestOf(s.errors());
  }
  {
    Sandbox s(env, {}, {"--resume", saved, "--record", record, "--digest"});
    ASSERT_TRUE(s.waitForWindow()) << s.errors();
    long differing = -1;
    EXPECT_TRUE(within(10s, [&] { return !(differing = differingPixels(s.screenshot(), atSave)); }))
        << differing << " pixels differ from the picture at S";
    s.key("p");
    EXPECT_TRUE(makesACar(s, 600, 200));
    std::this_thread::sleep_for(500ms);
    s.key("Escape");
    ASSERT_EQ(s.waitForExit(), 0) << s.errors();
    resumedDigest = digestOf(s.errors());
  }
  // The saved file replays to the world at S, the resumed session's to its own.
  for (const auto& [file, expected] : {std::pair{saved, digest}, {record, resumedDigest}}) {
    Sandbox headless({{"DISPLAY", ""}}, {}, {"--replay", file, "--headless", "--digest"});
    EXPECT_EQ(headless.waitForExit(60s), 0) << headless.errors();
    EXPECT_EQ(stderrLines(headless.errors()), Lines{expected}) << file;
  }

  Sandbox window(env, {}, {"--replay", record});
  ASSERT_TRUE(window.waitForWindow()) << window.errors();
  window.key("p");
  int marks = 0;
  const auto marksReach = [&](auto enough) {
    return within(10s, [&] { return enough(marks = markPixels(window.screenshot())); });
  };
  EXPECT_TRUE(marksReach([](int n) { return n > 1200; })) << marks << " pixels of REPLAY and PAUSE";
  const Screenshot stopped = window.screenshot();
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(differingPixels(window.screenshot(), stopped), 0) << "a stopped replay holds";
  const int stoppedMarks = marks;
  window.key("bracketright");  // "REPLAY x2"
  EXPECT_TRUE(marksReach([&](int n) { return n > stoppedMarks; })) << marks << " at double speed";
  window.key("t");
  window.key("p");
  EXPECT_TRUE(marksReach([](int n) { return n == 0; })) << marks << " pixels after T and P";
  std::this_thread::sleep_for(7s);  // the recording is about 5 s long
  EXPECT_FALSE(window.waitForExit(0s)) << "the recording's end no longer ends it";
  EXPECT_TRUE(makesACar(window, 700, 150));
  window.key("Escape");
  EXPECT_EQ(window.waitForExit(), 0) << window.errors();
}

// --resume F --record F: F holds its recording, byte for byte, while the
// resume plays (here killed in the middle of it, which leaves only a hidden
// file beside it), and the whole new recording once the session has ended.
TEST(ReplayE2E, AResumeIntoItsOwnFileLeavesItWholeAtEveryMoment) {
  const Scratch scratch;
  const std::string file = scratch.path() + "/own.rec";
  // About five seconds to resume: a car, and frames in which nothing changes.
  const std::string recorded =
      "skyhook-recording 2 skyhook 0.1.0\n0 clock 0 1700000000\n1 press b 640 470\nend 30000\n";
  std::ofstream(file, std::ios::binary) << recorded;
  auto bytes = [&] {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  auto names = [&] {
    Lines all;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.path()))
      all.push_back(entry.path().filename().string());
    std::sort(all.begin(), all.end());
    return all;
  };
  {
    Sandbox s({}, {}, {"--resume", file, "--record", file});
    ASSERT_TRUE(within(30s, [&] {
      return s.errors().find("skyhook: resuming " + file + ": frame ") != std::string::npos;
    })) << s.errors();
    s.signal(SIGKILL);
    s.waitForExit();
  }
  EXPECT_EQ(bytes(), recorded);
  EXPECT_EQ(names(), (Lines{".own.rec.tmp", "own.rec"}));

  std::string digest;
  {
    Sandbox s({}, {}, {"--resume", file, "--record", file, "--digest"});
    ASSERT_TRUE(s.waitForWindow(60s)) << s.errors();
    EXPECT_EQ(bytes(), recorded) << "until the session ends";
    s.key("Escape");
    ASSERT_EQ(s.waitForExit(), 0) << s.errors();
    digest = digestOf(s.errors());
  }
  EXPECT_EQ(names(), Lines{"own.rec"});
  const std::string now = bytes();
  const size_t end = now.rfind("\nend ");
  ASSERT_NE(end, std::string::npos) << now;
  EXPECT_GT(std::stol(now.substr(end + 5)), 30000) << "the resumed frames and the live ones";
  Sandbox headless({{"DISPLAY", ""}}, {}, {"--replay", file, "--headless", "--digest"});
  EXPECT_EQ(headless.waitForExit(60s), 0) << headless.errors();
  EXPECT_EQ(digestOf(headless.errors()), digest);
}

TEST(ReplayE2E, ARecordedSessionReplaysInTheWindowAndWithoutOne) {
  const Scratch scratch;
  const std::string file = scratch.path() + "/session.rec";
  Lines recorded;
  std::string digest;
  {
    Sandbox s({}, {}, {"--record", file, "--digest"});
    ASSERT_TRUE(s.waitForLineStartingWith("SEED = ")) << s.errors();
    ASSERT_TRUE(s.waitForWindow());
    s.key("b");
    s.key("j");
    ASSERT_TRUE(s.waitForLine("TOTO "));
    s.key("j");
    ASSERT_TRUE(s.waitForLine("TOTO1"));
    s.holdKey("space", 1500ms);
    for (auto [x, y] : {std::pair{300, 200}, {900, 150}, {1200, 800}}) {
      s.keyAt("c", x, y);
      std::this_thread::sleep_for(200ms);
    }
    // The last car dragged up and let go; time stopped, stepped twice, started.
    s.moveMouse(1200, 805);
    s.mouseDown(1);
    for (int y = 780; y >= 500; y -= 40) s.moveMouse(1150, y);
    s.mouseUp(1);
    for (const char* key : {"p", "o", "o", "p"}) {
      s.key(key);
      std::this_thread::sleep_for(150ms);
    }
    for (int cut = 0; cut < 2; ++cut) {
      s.key("d");
      std::this_thread::sleep_for(300ms);
    }
    s.key("d");
    ASSERT_TRUE(s.waitForLine("DESTROY CAR = EN COURS"));
    s.holdKey("KP_6", 1s);
    {
      // One writer per file: a second session is refused and the first goes on.
      Sandbox second({{"DISPLAY", ""}}, {}, {"--record", file});
      EXPECT_EQ(second.waitForExit(), 2);
      EXPECT_EQ(stderrLines(second.errors()), Lines{"skyhook: cannot record to " + file +
                                                    ": another skyhook is recording to it"});
    }
    s.key("Escape");
    ASSERT_EQ(s.waitForExit(), 0) << s.errors();
    recorded = s.lines();
    digest = digestOf(s.errors());
  }
  ASSERT_EQ(digest.size(), 23u);
  ASSERT_TRUE(has(recorded, "DESTROY wheel1 = OK")) << "a plain car should have been made";
  std::ifstream text(file);
  const std::string written((std::istreambuf_iterator<char>(text)), {});
  for (const char* item : {" mousedown ", " mousemove ", " mouseup", " press p ", " press o "})
    EXPECT_NE(written.find(item), std::string::npos) << item << " is not in the recording";

  // In the window, played on at double speed: the same lines and world.
  Sandbox window({}, {}, {"--replay", file, "--digest"});
  ASSERT_TRUE(window.waitForWindow()) << window.errors();
  window.key("bracketright");
  EXPECT_EQ(window.waitForExit(60s), 0) << window.errors();
  EXPECT_EQ(window.lines(), recorded);
  EXPECT_EQ(digestOf(window.errors()), digest);

  Sandbox headless({{"DISPLAY", ""}}, {}, {"--replay", file, "--headless", "--digest"});
  EXPECT_EQ(headless.waitForExit(60s), 0) << headless.errors();
  EXPECT_EQ(headless.lines(), recorded);
  EXPECT_EQ(stderrLines(headless.errors()), Lines{digest});

  // Output that cannot be written: the lines lost are counted, the digest still printed.
  int closed[2];
  ASSERT_EQ(pipe(closed), 0);
  close(closed[0]);
  for (auto [out, cause] :
       {std::pair{closed[1], std::string("standard output was closed")},
        {open("/dev/full", O_WRONLY), "cannot write standard output: No space left on device"}}) {
    Sandbox run({{"DISPLAY", ""}}, {}, {"--replay", file, "--headless", "--digest"},
                {{STDOUT_FILENO, out}});
    EXPECT_EQ(run.waitForExit(60s), 1);
    EXPECT_EQ(stderrLines(run.errors()), (Lines{"skyhook: " + std::to_string(recorded.size()) +
                                                    " console lines not written: " + cause,
                                                digest}));
    close(out);
  }
}

// Without a display: a refusal that came after the window would name the display.
TEST(ReplayE2E, BadRecordingsAndRecordFilesAreRefusedBeforeAnythingPlays) {
  const Scratch scratch;
  const std::string& dir = scratch.path();
  const std::string head = "skyhook-recording 1 skyhook 0.1.0\n0 clock 0 1700000000\n";
  struct Case {
    const char* name;
    std::optional<std::string> text;  // none: the file does not exist
    const char* where;                // what the message names
  };
  const Case cases[] = {
      {"missing", std::nullopt, ": cannot read"},
      {"empty", "", ":1: "},
      {"picture", "P6\n1280 940\n255\n\x01\x02\n", ":1: "},
      {"newer", "skyhook-recording 3 skyhook 9.0.0\n0 clock 0 5\n", ":1: "},
      {"cut", head + "3 press b 10 2", ":3: "},
      {"negative", head + "-3 press b 10 20\n", ":3: "},
      {"backwards", head + "5 press b 1 2\n4 press j 1 2\n", ":4: "},
      {"key", head + "5 press q 1 2\n", ":3: "},
      {"pointer", head + "5 press c 100 3000000\n", ":3: "},
      {"huge", head + "5 clock 0 1000000000000000000000000\n", ":3: "},
      {"endless", head + "end 1000000000\n", ":3: "},  // a second's readings, days of frames
  };
  std::vector<std::pair<std::vector<std::string>, std::string>> runs;
  for (const Case& c : cases) {
    const std::string path = dir + "/" + c.name + ".rec";
    if (c.text) std::ofstream(path, std::ios::binary) << *c.text;
    runs.push_back({{"--replay", path}, path + c.where});
  }
  runs.push_back({{"--replay", dir}, dir + ": is a directory"});
  runs.push_back({{"--record", dir + "/no/such/dir.rec"}, dir + "/no/such/dir.rec: "});
  runs.push_back(
      {{"--resume", dir + "/key.rec", "--record", dir + "/b.rec"}, dir + "/key.rec:3: "});
  runs.push_back({{"--resume", dir + "/endless.rec"}, dir + "/endless.rec:3: "});
  runs.push_back({{"--record", "/dev/full"}, "/dev/full: No space left on device"});
  runs.push_back({{"--headless"}, "needs --replay"});
  runs.push_back({{"--record", dir + "/a.rec", "--replay", dir + "/key.rec"}, "together"});

  for (const auto& [args, named] : runs) {
    SCOPED_TRACE(args.back());
    Sandbox s({{"DISPLAY", ""}}, {}, args);
    EXPECT_EQ(s.waitForExit(), 2);  // a signal would read 128 and more
    const Lines errors = stderrLines(s.errors());
    ASSERT_EQ(errors.size(), 1u) << s.errors();
    EXPECT_NE(errors[0].find(named), std::string::npos) << errors[0];
    EXPECT_TRUE(s.lines().empty()) << "nothing plays";
  }
  // Endless input: what is not a recording is refused at its first line, whatever
  // follows; a recording at the bound of what one may hold, within bounded memory.
  using Run = std::pair<int, std::string>;
  EXPECT_EQ(replayFed("yes"), Run(2, "skyhook: /dev/stdin:1: not a skyhook recording\n"));
  EXPECT_EQ(replayFed("printf 'skyhook-recording 1 skyhook 0.1.0\\n0 clock 0 1700000000\\n'; "
                      "awk 'BEGIN { for (n = 1;; ++n) print n \" press c 1 2\" }'"),
            Run(2, "skyhook: /dev/stdin:8388610: a recording holds at most 8388608 items\n"));
}

// A write that fails once the game has begun (here the reader of a pipe goes) is
// reported once and the game goes on; so is a save (S) that cannot be written.
TEST(ReplayE2E, ARecordingThatCannotBeWrittenIsReportedOnceAndTheGameGoesOn) {
  const Scratch scratch;
  const std::string fifo = scratch.path() + "/fifo.rec";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);  // not the program's
  ASSERT_GE(reader, 0);
  Sandbox s({{"XDG_DATA_HOME", "/dev/null/data"}}, {}, {"--record", fifo});
  ASSERT_TRUE(s.waitForLineStartingWith("SEED = ")) << s.errors();
  ASSERT_TRUE(s.waitForWindow());
  close(reader);
  s.key("s");
  s.key("j");
  EXPECT_TRUE(s.waitForLine("TOTO2"));
  std::this_thread::sleep_for(1500ms);  // past a frame alone, had no key been written
  s.key("Escape");
  EXPECT_EQ(s.waitForExit(), 1);
  const Lines errors = stderrLines(s.errors());
  ASSERT_EQ(errors.size(), 2u) << s.errors();
  EXPECT_TRUE(has(
      errors, "skyhook: cannot write the recording " + fifo + ": Broken pipe; it is incomplete"))
      << s.errors();
  EXPECT_TRUE(std::any_of(errors.begin(), errors.end(), [](const std::string& e) {
    return e.rfind("skyhook: cannot save the session: cannot make /dev/null/data/", 0) == 0;
  })) << s.errors();
}

// F5 at one frame, F9 later, F5 again, then J: replayed in the window, 15 s of
// Backspace from just after the J take it back between the first F5 and the F9
// (900 frames at 60 pictures a second, 375 at 25), and the replay played on to
// its end returns with that F9 to the first moment, as the headless replay does.
TEST(ReplayE2E, AReplayTakenBackAcrossTheKeptMomentsEndsOnTheHeadlessWorld) {
  const Scratch scratch;
  const std::string file = scratch.path() + "/moments.rec";
  {
    std::ofstream out(file);
    out << "skyhook-recording 2 skyhook 0.1.0\n0 clock 0 1796651303\n5 press b 640 470\n"
           "20 down space\n60 press f5 0 0\n";
    for (int frame = 100; frame < 1000; frame += 100)
      out << frame << " press c " << 200 + frame / 2 << " 300\n";
    out << "1000 press f9 0 0\n1100 press f5 0 0\n1300 press j 0 0\nend 1800\n";
  }
  Sandbox headless({{"DISPLAY", ""}}, {}, {"--replay", file, "--headless", "--digest"});
  ASSERT_EQ(headless.waitForExit(60s), 0) << headless.errors();
  ASSERT_TRUE(has(headless.lines(), "TOTO ")) << "J should have dropped the crane car";
  const std::string digest = digestOf(headless.errors());

  Sandbox window({}, {}, {"--replay", file, "--digest"});
  ASSERT_TRUE(window.waitForWindow()) << window.errors();
  for (int i = 0; i < 3; ++i) {  // x8 up to the J and after going back
    window.key("bracketright");
    std::this_thread::sleep_for(100ms);
  }
  ASSERT_TRUE(window.waitForLine("TOTO ", 60s)) << window.errors();
  window.holdKey("BackSpace", 15s);
  EXPECT_EQ(window.waitForExit(60s), 0) << window.errors();
  EXPECT_EQ(digestOf(window.errors()), digest);
}

// With time stopped, the tools build what the left button draws: F8 to the
// box, a drag; the ball, a drag; the rope, a drag; the eraser, a click on the
// box; a click on the toolbar's Box and another drag. The toolbar shows the
// while. The recording replays without a window to the same world.
TEST(ReplayE2E, BuildingWithTheToolsIsRecordedAndReplays) {
  const Scratch scratch;
  const std::string file = scratch.path() + "/tools.rec";
  std::string digest;
  {
    Sandbox s({{"XDG_DATA_HOME", scratch.path() + "/data"}}, {}, {"--record", file, "--digest"});
    ASSERT_TRUE(s.waitForLineStartingWith("SEED = ")) << s.errors();
    ASSERT_TRUE(s.waitForWindow());
    auto pressed = [&](const char* key) {
      s.key(key);
      std::this_thread::sleep_for(150ms);
    };
    auto drag = [&](int x0, int y0, int x1, int y1) {
      s.moveMouse(x0, y0);
      s.mouseDown(1);
      s.moveMouse((x0 + x1) / 2, (y0 + y1) / 2);
      s.moveMouse(x1, y1);
      s.mouseUp(1);
    };
    // Whether the picture at (x, y) comes to differ from `before` there, or to equal it.
    auto changes = [&](const Screenshot& before, int x, int y, bool differ = true) {
      return within(10s, [&] {
        const Pixel p = s.screenshot().at(x, y), q = before.at(x, y);
        return (p.r != q.r || p.g != q.g || p.b != q.b) == differ;
      });
    };
    pressed("p");
    pressed("F10");  // sodium
    const Screenshot sky = s.screenshot();
    pressed("F8");
    EXPECT_TRUE(changes(sky, 20, 40)) << "the toolbar shows";
    drag(400, 300, 480, 360);
    EXPECT_TRUE(changes(sky, 440, 330)) << "a box";
    const Pixel box = s.screenshot().at(440, 330);
    EXPECT_NEAR(box.r, 64, 3) << "sodium, dark inside";
    EXPECT_NEAR(box.g, 51, 3);
    pressed("F8");
    drag(700, 300, 730, 300);
    EXPECT_TRUE(changes(sky, 712, 300)) << "a ball";
    pressed("F8"), pressed("F8");
    drag(500, 200, 650, 200);
    EXPECT_TRUE(changes(sky, 580, 200)) << "a rope";
    pressed("F8"), pressed("F8");
    s.moveMouse(440, 330);
    s.click(1);
    EXPECT_TRUE(changes(sky, 440, 330, false)) << "the eraser takes the box";
    EXPECT_TRUE(changes(sky, 712, 300)) << "and leaves the ball";
    s.moveMouse(40, 60);  // the toolbar's Box
    s.click(1);
    std::this_thread::sleep_for(150ms);
    drag(900, 500, 960, 540);
    EXPECT_TRUE(changes(sky, 930, 520)) << "a box again";
    EXPECT_TRUE(changes(sky, 440, 330, false)) << "not the eraser's click";
    s.key("Escape");
    ASSERT_EQ(s.waitForExit(), 0) << s.errors();
    digest = digestOf(s.errors());
  }
  ASSERT_EQ(digest.size(), 23u);
  std::ifstream text(file);
  const std::string written((std::istreambuf_iterator<char>(text)), {});
  for (const char* item : {" press f8 ", " press f10 ", " mousedown "})
    EXPECT_NE(written.find(item), std::string::npos) << item << " is not in the recording";

  Sandbox headless({{"DISPLAY", ""}}, {}, {"--replay", file, "--headless", "--digest"});
  EXPECT_EQ(headless.waitForExit(60s), 0) << headless.errors();
  EXPECT_EQ(digestOf(headless.errors()), digest);
}
