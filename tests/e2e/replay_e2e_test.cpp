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
#include <random>
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
// Above the bar of the session's time: `bottom` 40.
long differingPixels(const Screenshot& a, const Screenshot& b, int bottom = 13) {
  if (a.width() != b.width() || a.height() != b.height()) return -1;
  long count = 0;
  for (int y = 0; y < a.height() - bottom; ++y)
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

// Pixels of a resume's progress bar, in its blue.
int progressBarPixels(const Screenshot& shot) {
  int bar = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x)
      bar += shot.at(x, y).r == 102 && shot.at(x, y).g == 178 && shot.at(x, y).b == 255;
  return bar;
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
    const Screenshot beforeSave = s.screenshot();
    s.key("s");
    const std::regex named("skyhook: saved the session so far to (" + scratch.path() +
                           "/data/skyhook/sessions/skyhook-[0-9]{8}-[0-9]{6}\\.rec)\n");
    std::smatch match;
    ASSERT_TRUE(within(10s, [&] {
      const std::string errors = s.errors();
      return std::regex_search(errors, match, named) && (saved = match[1], true);
    })) << s.errors();
    // S's message shows in the window, then goes.
    long differing = 0;
    EXPECT_TRUE(
        within(3s, [&] { return (differing = differingPixels(s.screenshot(), beforeSave)) > 200; }))
        << differing << " pixels of the message";
    s.keyUp("Right");
    EXPECT_TRUE(
        within(10s, [&] { return !(differing = differingPixels(s.screenshot(), beforeSave)); }))
        << differing << " pixels differ after the message";
    atSave = s.screenshot();
    s.key("Escape");
    ASSERT_EQ(s.waitForExit(), 0) << s.errors();
    digest = digestOf(s.errors());
  }
  // Its keyframe, in another process: the resume shows the world at S at once
  // and ends on its digest; with a byte of the keyframe flipped it says why,
  // re-plays the recording and ends on the same.
  const std::string keyframes = saved + ".keyframes";
  std::string kept;
  {
    std::ifstream in(keyframes, std::ios::binary);
    kept.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  ASSERT_GT(kept.size(), 1000u);
  for (const bool damaged : {false, true}) {
    std::string bytes = kept;
    if (damaged) bytes[bytes.size() / 2] ^= 1;
    std::ofstream(keyframes, std::ios::binary) << bytes;
    Sandbox s(env, {}, {"--resume", saved, "--digest", "--no-autosave"});
    ASSERT_TRUE(s.waitForWindow()) << s.errors();
    long differing = -1;
    EXPECT_TRUE(
        within(10s, [&] { return !(differing = differingPixels(s.screenshot(), atSave, 40)); }))
        << differing << " pixels differ from the picture at S";
    s.key("Escape");
    ASSERT_EQ(s.waitForExit(), 0) << s.errors();
    EXPECT_EQ(digestOf(s.errors()), digest);
    EXPECT_EQ(s.errors().find("re-playing it whole") != std::string::npos, damaged) << s.errors();
  }
  std::ofstream(keyframes, std::ios::binary) << kept;
  {
    Sandbox s(env, {}, {"--resume", saved, "--record", record, "--digest"});
    ASSERT_TRUE(s.waitForWindow()) << s.errors();
    long differing = -1;
    // Above the bar, whose marks differ: S is not recorded, the resume is.
    EXPECT_TRUE(
        within(10s, [&] { return !(differing = differingPixels(s.screenshot(), atSave, 40)); }))
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

// A session of 10 s or more is kept at quit; F6 lists it, and Enter resumes
// it to the world it left, as --resume with no file does. --no-autosave keeps
// nothing, also when leaving for another session. With no session saved yet,
// --resume=last (the desktop's action) begins a new one.
TEST(ReplayE2E, AQuitKeepsTheSessionAndF6OrResumeWithNoFileGoesOnFromIt) {
  const Scratch scratch;
  const std::string folder = scratch.path() + "/data/skyhook/sessions";
  const std::map<std::string, std::string> env = {{"XDG_DATA_HOME", scratch.path() + "/data"}};
  auto files = [&] {  // the recordings, without the keyframes beside them
    std::vector<std::string> names;
    std::error_code none;
    for (const auto& entry : std::filesystem::directory_iterator(folder, none))
      if (entry.path().extension() == ".rec") names.push_back(entry.path().filename().string());
    return names;
  };
  // The sky shows once the resume's progress, on its dark background, is over
  // (a window not yet drawn is black).
  const auto resumed = [](Sandbox& s) {
    return s.waitForWindow() && within(30s, [&] {
             const Pixel p = s.screenshot().at(5, 470);
             return !(p.r == 20 && p.g == 20 && p.b == 31) && p.r + p.g + p.b > 0;
           });
  };
  std::string digest;
  {
    Sandbox s(env, {}, {"--digest", "--resume=last"});
    ASSERT_TRUE(s.waitForWindow()) << s.errors();
    EXPECT_NE(s.errors().find("no saved session yet in " + folder + "; a new session begins"),
              std::string::npos)
        << s.errors();
    s.key("b");
    std::this_thread::sleep_for(15s);  // 600 frames and more, on a loaded machine too
    s.key("p");
    std::this_thread::sleep_for(200ms);
    s.key("Escape");
    ASSERT_EQ(s.waitForExit(), 0) << s.errors();
    digest = digestOf(s.errors());
    EXPECT_NE(s.errors().find("(automatic save)"), std::string::npos) << s.errors();
  }
  ASSERT_EQ(files().size(), 1u);
  EXPECT_EQ(files()[0].rfind("skyhook-auto-", 0), 0u) << files()[0];
  EXPECT_TRUE(std::filesystem::exists(folder + "/" + files()[0] + ".keyframes"));
  {
    Sandbox s(env, {}, {"--digest", "--no-autosave"});
    ASSERT_TRUE(s.waitForWindow()) << s.errors();
    std::this_thread::sleep_for(15s);  // 600 frames and more, on a loaded machine too
    const Screenshot before = s.screenshot();
    s.key("F6");
    long differing = 0;
    EXPECT_TRUE(
        within(5s, [&] { return (differing = differingPixels(s.screenshot(), before)) > 20000; }))
        << differing << " pixels of the list";
    s.key("Return");
    const auto seeds = [&] {
      const std::vector<std::string> lines = s.lines();
      return std::count_if(lines.begin(), lines.end(),
                           [](const std::string& l) { return l.rfind("SEED = ", 0) == 0; });
    };
    ASSERT_TRUE(within(20s, [&] { return seeds() == 2; })) << s.errors();
    ASSERT_TRUE(resumed(s)) << s.errors();
    s.key("Escape");
    ASSERT_EQ(s.waitForExit(), 0) << s.errors();
    // The session left prints its digest, then the resumed one its own.
    const std::string errors = s.errors();
    const size_t last = errors.rfind("digest ");
    ASSERT_NE(last, errors.find("digest ")) << errors;
    EXPECT_EQ(errors.substr(last, 23), digest) << "the world the kept session left";
  }
  EXPECT_EQ(files().size(), 1u) << "--no-autosave kept nothing";
  Sandbox s(env, {}, {"--resume", "--digest", "--no-autosave"});
  ASSERT_TRUE(resumed(s)) << s.errors();
  s.key("Escape");
  ASSERT_EQ(s.waitForExit(), 0) << s.errors();
  EXPECT_EQ(digestOf(s.errors()), digest);
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

  // The window shows the resume's progress at once; Escape cancels it, and
  // leaves no recording of its own.
  {
    Sandbox s({}, {}, {"--resume", file, "--record", scratch.path() + "/new.rec"});
    ASSERT_TRUE(s.waitForWindow()) << s.errors();
    ASSERT_TRUE(within(30s, [&] {
      return s.errors().find("skyhook: resuming " + file + ": frame ") != std::string::npos;
    })) << s.errors();
    EXPECT_GT(progressBarPixels(s.screenshot()), 500);
    s.key("Escape");
    EXPECT_EQ(s.waitForExit(5s), 0) << s.errors();
    EXPECT_NE(s.errors().find("resume cancelled"), std::string::npos) << s.errors();
  }
  EXPECT_EQ(bytes(), recorded);
  EXPECT_EQ(names(), (Lines{".own.rec.tmp", "own.rec"})) << "no new.rec";

  std::string digest;
  {
    Sandbox s({}, {}, {"--resume", file, "--record", file, "--digest"});
    ASSERT_TRUE(within(60s, [&] {
      return s.errors().find("skyhook: resumed ") != std::string::npos;
    })) << s.errors();
    EXPECT_EQ(bytes(), recorded) << "until the session ends";
    s.key("Escape");
    ASSERT_EQ(s.waitForExit(), 0) << s.errors();
    digest = digestOf(s.errors());
  }
  EXPECT_EQ(names(), (Lines{"own.rec", "own.rec.keyframes"})) << "its last moment beside it";
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
  Sandbox window({}, {}, {"--replay", file, "--digest", "--quit-at-end"});
  ASSERT_TRUE(window.waitForWindow()) << window.errors();
  window.key("bracketright");
  EXPECT_EQ(window.waitForExit(60s), 0) << window.errors();
  EXPECT_EQ(window.lines(), recorded);
  EXPECT_EQ(digestOf(window.errors()), digest);

  Sandbox headless({{"DISPLAY", ""}}, {}, {"--replay", file, "--headless", "--digest"});
  EXPECT_EQ(headless.waitForExit(60s), 0) << headless.errors();
  EXPECT_EQ(headless.lines(), recorded);
  EXPECT_EQ(stderrLines(headless.errors()), Lines{digest});

  // The first car placed elsewhere: the replay names the second where it departs.
  const size_t car = written.find(" press c 300 200");
  ASSERT_NE(car, std::string::npos);
  const std::string edited = scratch.path() + "/edited.rec";
  std::ofstream(edited) << written.substr(0, car) << " press c 340 200" << written.substr(car + 16);
  Sandbox departs({{"DISPLAY", ""}}, {}, {"--replay", edited, "--headless"});
  EXPECT_EQ(departs.waitForExit(60s), 1);
  EXPECT_TRUE(std::regex_search(departs.errors(),
                                std::regex("edited.rec: departs from the recording at frame "
                                           "[1-9][0-9]* \\([0-9]+:[0-9]{2}\\)\n")))
      << departs.errors();

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
      {"newer", "skyhook-recording 5 skyhook 9.0.0\n0 clock 0 5\n", ":1: "},
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

  Sandbox window({}, {}, {"--replay", file, "--digest", "--quit-at-end"});
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

// Random play on the real program, with every key that time, the session and
// the view have, the window resized from tiny to large between them: it ends
// normally, its recording replays headless to its world, a replay steered at
// random in the window ends there too, and the session saved with time stopped
// resumes to it. SKYHOOK_PLAY_SEED picks another play.
TEST(ReplayE2E, RandomPlayWithEveryKeyAndResizeReplaysAndResumesToItsWorld) {
  const char* seedText = std::getenv("SKYHOOK_PLAY_SEED");
  std::mt19937 random(seedText ? static_cast<unsigned>(std::atoi(seedText)) : 5u);
  auto between = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const Scratch scratch;
  const std::map<std::string, std::string> env = {{"XDG_DATA_HOME", scratch.path() + "/data"}};
  const std::string file = scratch.path() + "/play.rec";
  std::string digest, saved;
  {
    Sandbox s(env, {}, {"--record", file, "--digest"});
    ASSERT_TRUE(s.waitForWindow()) << s.errors();
    const std::vector<std::string> keys = {
        "b",  "j",  "d",    "r",     "n",        "F5", "F9", "bracketleft", "bracketright",
        "p",  "o",  "plus", "minus", "Home",     "f",  "l",  "F1",          "F2",
        "F3", "F4", "KP_4", "KP_8",  "KP_Enter", "s"};
    const std::vector<std::string> held = {"space", "BackSpace", "Right", "Up", "KP_6", "KP_2"};
    for (int step = 0; step < 60; ++step) {
      const int what = between(0, 9);
      const WindowGeometry g = s.windowGeometry();
      const int x = between(0, std::max(1, g.width - 1)), y = between(0, std::max(1, g.height - 1));
      if (what < 4) {
        s.keyAt(keys[between(0, static_cast<int>(keys.size()) - 1)], x, y);
      } else if (what == 4) {
        s.keyAt("c", x, y);
      } else if (what == 5) {
        s.holdKey(held[between(0, static_cast<int>(held.size()) - 1)], between(50, 900) * 1ms);
      } else if (what == 6) {
        const int button = between(0, 2) == 0 ? 1 : 3;  // a grab, or the view dragged
        s.moveMouse(x, y);
        s.mouseDown(button);
        for (int n = 0; n < 5; ++n)
          s.moveMouse(std::clamp(x + between(-200, 200), 0, std::max(0, g.width - 1)),
                      std::clamp(y + between(-200, 200), 0, std::max(0, g.height - 1)));
        s.mouseUp(button);
      } else if (what == 7) {
        s.moveMouse(x, y);
        s.click(between(4, 5));
      } else if (what == 8) {
        const bool tiny = between(0, 4) == 0;
        s.resizeWindow(tiny ? between(50, 120) : between(300, 1600),
                       tiny ? between(50, 120) : between(200, 1150));
      }
      std::this_thread::sleep_for(between(20, 250) * 1ms);
    }
    // Keys go where the pointer is: inside the window, however small it is now.
    auto savesSoFar = [&] {
      const std::string errors = s.errors();
      size_t count = 0;
      for (size_t at = 0; (at = errors.find("saved the session", at)) != std::string::npos; ++at)
        ++count;
      return count;
    };
    const size_t before = savesSoFar();
    s.keyAt("s", 5, 5);
    ASSERT_TRUE(within(10s, [&] { return savesSoFar() > before; })) << s.errors();
    s.keyAt("Escape", 5, 5);
    ASSERT_EQ(s.waitForExit(60s), 0) << s.errors();
    digest = digestOf(s.errors());
    const std::string errors = s.errors();
    const std::string said = "saved the session so far to ";
    const size_t at = errors.rfind(said) + said.size();
    saved = errors.substr(at, errors.find('\n', at) - at);
  }
  ASSERT_EQ(digest.size(), 23u);
  auto headlessDigest = [](const std::string& path) {
    Sandbox run({{"DISPLAY", ""}}, {}, {"--replay", path, "--headless", "--digest"});
    EXPECT_EQ(run.waitForExit(120s), 0) << run.errors();
    return digestOf(run.errors());
  };
  EXPECT_EQ(headlessDigest(file), digest);

  // Steered at random in a window resized now and then, and let run to its end.
  {
    Sandbox replay(env, {}, {"--replay", file, "--digest", "--quit-at-end"});
    ASSERT_TRUE(replay.waitForWindow()) << replay.errors();
    bool stopped = false;
    for (int step = 0; step < 25; ++step) {
      const int what = between(0, 5);
      if (what == 0) replay.key("p"), stopped = !stopped;
      else if (what == 1) replay.key("o");
      else if (what == 2) replay.key(between(0, 1) ? "bracketleft" : "bracketright");
      else if (what == 3) replay.holdKey("BackSpace", between(50, 700) * 1ms);
      else if (what == 4)
        replay.resizeWindow(between(700, 1600), between(520, 1150));  // keys reach it
      std::this_thread::sleep_for(between(20, 200) * 1ms);
    }
    if (stopped) replay.key("p");
    for (int n = 0; n < 3; ++n) replay.key("bracketright");
    ASSERT_EQ(replay.waitForExit(180s), 0) << replay.errors();
    EXPECT_EQ(digestOf(replay.errors()), digest);
  }

  // The save resumes, and the resumed session's own recording replays to its world.
  const std::string resumed = scratch.path() + "/resumed.rec";
  Sandbox resume(env, {}, {"--resume", saved, "--record", resumed, "--digest"});
  ASSERT_TRUE(resume.waitForWindow(120s)) << resume.errors();
  // Escape while it re-plays would cancel it: it is live once its recording
  // holds the part it re-played.
  ASSERT_TRUE(within(120s, [&] {
    std::ifstream text(resumed);
    std::string line;
    return std::getline(text, line) && std::getline(text, line);
  })) << resume.errors();
  resume.keyAt("Escape", 5, 5);
  ASSERT_EQ(resume.waitForExit(60s), 0) << resume.errors();
  EXPECT_EQ(headlessDigest(resumed), digestOf(resume.errors()));
}

// The bar on the real program: 30 s of a car a second, time stopped, the bar
// clicked at a quarter and three quarters (and at a quarter again: the same
// picture), C then Ctrl+Z (the car gone) and Ctrl+Y (back); the recording
// replays headless to the same lines and world. A windowed replay holds its
// last picture, and closes there with --quit-at-end.
TEST(ReplayE2E, TheBarSeeksAndUndoRedoReplayToTheLiveWorld) {
  const Scratch scratch;
  const std::string file = scratch.path() + "/bar.rec";
  const std::map<std::string, std::string> env{{"XDG_DATA_HOME", scratch.path()}};
  Lines recorded;
  std::string digest;
  {
    Sandbox s(env, {}, {"--record", file, "--digest"});
    ASSERT_TRUE(s.waitForLineStartingWith("SEED = ")) << s.errors();
    ASSERT_TRUE(s.waitForWindow());
    for (int i = 0; i < 30; ++i) {
      ASSERT_TRUE(makesACar(s, 200 + 30 * i, 250));
      std::this_thread::sleep_for(900ms);
    }
    s.key("p");
    // The picture once it has settled, and, when given, once it is that one.
    auto settled = [&](const Screenshot* expected = nullptr, int bottom = 13) {
      Screenshot shot;
      within(10s, [&] {
        const Screenshot a = s.screenshot();
        shot = s.screenshot();
        return differingPixels(a, shot, bottom) == 0 &&
               (!expected || differingPixels(shot, *expected, bottom) == 0);
      });
      return shot;
    };
    // The bar's track: 1280 - 26 pixels across, 14 to 22 pixels above its bottom 40.
    auto clickBar = [&](double at) {
      s.moveMouse(13 + static_cast<int>(at * 1254), 918);
      s.mouseDown(1);
      s.mouseUp(1);
      std::this_thread::sleep_for(200ms);
    };
    const Screenshot end = settled();
    clickBar(0.25);
    const Screenshot quarter = settled();
    EXPECT_GT(differingPixels(quarter, end, 40), 1000) << "back: fewer cars";
    clickBar(0.75);
    const Screenshot threeQuarters = settled();
    EXPECT_GT(differingPixels(threeQuarters, quarter, 40), 1000) << "forward again";
    clickBar(0.25);
    EXPECT_EQ(differingPixels(settled(&quarter), quarter), 0)
        << "the same moment, the same picture";
    clickBar(1.0);
    const Screenshot last = settled(&end, 40);
    EXPECT_EQ(differingPixels(last, end, 40), 0) << "the future was kept";

    const size_t before = s.lines().size();
    s.keyAt("c", 640, 250);
    ASSERT_TRUE(within(10s, [&] { return s.lines().size() > before; }));
    const Screenshot withCar = settled(nullptr, 40);
    EXPECT_GT(differingPixels(withCar, last, 40), 100) << "C makes a car in stopped time";
    s.key("ctrl+z");
    EXPECT_EQ(differingPixels(settled(&last, 40), last, 40), 0) << "undo: the car is gone";
    s.key("ctrl+y");
    EXPECT_EQ(differingPixels(settled(&withCar, 40), withCar, 40), 0) << "redo: it is back";
    s.key("Escape");
    ASSERT_EQ(s.waitForExit(), 0) << s.errors();
    recorded = s.lines();
    digest = digestOf(s.errors());
  }
  std::ifstream text(file);
  const std::string written((std::istreambuf_iterator<char>(text)), {});
  for (const char* item : {" seek ", " undo ", " redo "})
    EXPECT_NE(written.find(item), std::string::npos) << item << " is not in the recording";
  Sandbox headless({{"DISPLAY", ""}}, {}, {"--replay", file, "--headless", "--digest"});
  EXPECT_EQ(headless.waitForExit(60s), 0) << headless.errors();
  EXPECT_EQ(headless.lines(), recorded);
  EXPECT_EQ(digestOf(headless.errors()), digest);

  const std::string shortFile = scratch.path() + "/short.rec";
  std::ofstream(shortFile) << "skyhook-recording 3 skyhook 0.1.0\n0 clock 0 1700000000\n"
                              "5 press b 640 470\nend 60\n";
  {
    Sandbox window(env, {}, {"--replay", shortFile});
    ASSERT_TRUE(window.waitForWindow()) << window.errors();
    EXPECT_FALSE(window.waitForExit(4s)) << "it holds its last picture";
    window.key("Escape");
    EXPECT_EQ(window.waitForExit(), 0) << window.errors();
  }
  Sandbox window(env, {}, {"--replay", shortFile, "--quit-at-end"});
  ASSERT_TRUE(window.waitForWindow()) << window.errors();
  EXPECT_EQ(window.waitForExit(10s), 0) << window.errors();
}

// With time stopped, the tools build what the left button draws: F8 to the
// box, a drag; the ball, a drag; the rope, a drag; the eraser, a click on the
// box, Ctrl+Z (back) and Ctrl+Y (gone again); a click on the toolbar's Box and
// another drag. The toolbar shows the while. The recording replays without a window to the same
// world.
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
    s.key("ctrl+z");
    EXPECT_TRUE(changes(sky, 440, 330)) << "Ctrl+Z brings the box back";
    s.key("ctrl+y");
    EXPECT_TRUE(changes(sky, 440, 330, false)) << "and Ctrl+Y erases it again";
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
