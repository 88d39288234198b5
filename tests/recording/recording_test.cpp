// A session recorded through the session's own path and replayed from its file:
// the same console lines and the same world, with a clock that turns in the
// middle of frames. And the reader against mangled recordings.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "game/keys.h"
#include "game/moments.h"
#include "game/mouse_drag.h"
#include "recording/digest.h"
#include "recording/recording_reader.h"
#include "recording/recording_writer.h"
#include "session/history.h"
#include "session/kept_keyframes.h"
#include "session/keyframe_file.h"
#include "session/play_input.h"
#include "session/recorder.h"
#include "session/replay.h"
#include "session/saved_sessions.h"
#include "session/session.h"
#include "state/keyframe.h"
#include "state/state.h"
#include "support/console_capture.h"

namespace {

struct Played {
  std::vector<std::string> lines;
  std::string digest;
  std::vector<std::string> digests;  // after each frame, from frame 1
  long frames = 0;
  long departedAt = -1;                   // the first checkpoint the replay missed
  bool dragged = false, stopped = false;  // the script did what it means to
};

// The scripted input of frame n: the first box dragged with the mouse, the
// crane car's keys, plain cars inside and outside the window in one frame, a
// scroll with the wheels driven, time stopped and stepped, slowed and sped,
// a moment kept and returned to, a way back in time, a new world, a quit.
FrameInput scripted(long n, HeldKeys& held) {
  FrameInput in;
  auto press = [&](int symbol, int x, int y) {
    in.events.push_back({InputEvent::KeyPress, symbol, x, y});
  };
  if (n == 3) in.events.push_back({InputEvent::ButtonDown, 0, 500, 201});
  if (n > 3 && n < 40) in.events.push_back({InputEvent::Motion, 0, 500 + 3 * int(n), 150});
  if (n == 40) in.events.push_back({InputEvent::ButtonUp});
  if (n == 5) press(key::B, 640, 470);
  if (n == 240 || n == 262) press(key::P, 0, 0);
  if (n == 245 || n == 250) press(key::O, 0, 0);
  if (n == 30 || n == 60) press(key::J, 10, 10);
  if (n == 80) press(key::C, -300, 200), press(key::C, 700, 300);
  if (n == 200 || n == 210 || n == 220) press(key::D, 0, 0);
  if (n == 110) press(key::LEFTBRACKET, 0, 0);
  if (n == 140) press(key::RIGHTBRACKET, 0, 0), press(key::RIGHTBRACKET, 0, 0);
  if (n == 125) press(key::F5, 0, 0);
  if (n == 230) press(key::F9, 0, 0);
  if (n == 320) press(key::N, 0, 0);
  if (n == 350) in.events.push_back({InputEvent::Quit});
  held[key::BACKSPACE] = (n >= 180 && n < 195) || (n >= 330 && n < 340);
  held[key::SPACE] = n >= 100 && n < 300;
  held[key::KP6] = n >= 120 && n < 180;
  held[key::RIGHT] = n % 50 < 10;
  in.held = held;
  return in;
}

Played record(const std::string& path) {
  Played p;
  ConsoleCapture console;
  RecordingWriter writer;
  std::string error;
  EXPECT_TRUE(writer.open(path, error)) << error;
  // The second turns every 37th frame at the frame's second reading.
  long frame = 0, reads = 0;
  std::time_t second = 1700000000;
  Recorder recorder(writer, [&] {
    if (frame % 37 == 0 && reads++ == 1) ++second;
    return second;
  });
  State state;
  startUpWithoutWindow(state);
  History history;
  HeldKeys held{};
  while (state.running) {
    const FrameInput input = scripted(++frame, held);
    reads = 0;
    recorder.beginFrame();
    history.play(state, input);
    recorder.endFrame(input, *state.world);
    p.digests.push_back(digestLine(worldDigest(*state.world)));
    p.dragged |= grabbing(state) && state.mouseJoint;
    p.stopped |= state.paused;
  }
  recorder.finish();
  writer.close();
  p.lines = console.lines();
  p.digest = digestLine(worldDigest(*state.world));
  p.frames = frame;
  return p;
}

Played replay(const Recording& recording, bool& departed) {
  Played p;
  ConsoleCapture console;
  Replay replay(recording);
  State state;
  startUpWithoutWindow(state);
  FrameInput input;
  History history;
  while (state.running && replay.next(input)) {
    history.play(state, input);
    replay.check(*state.world);
  }
  departed = replay.departed();
  p.departedAt = replay.departedAt();
  p.lines = console.lines();
  p.digest = digestLine(worldDigest(*state.world));
  p.frames = replay.frames();
  return p;
}

}  // namespace

TEST(Recording, AReplayPrintsAndStepsWhatTheRecordedSessionDid) {
  const std::string path = ::testing::TempDir() + "recording_test.rec";
  const Played recorded = record(path);
  std::string error;
  const std::optional<Recording> recording = readRecording(path, error);
  std::remove(path.c_str());
  ASSERT_TRUE(recording) << error;
  EXPECT_TRUE(recording->ended);
  EXPECT_EQ(recording->end, 350);
  bool midFrame = false;
  for (const ClockReading& c : recording->clock) midFrame |= c.read > 0;
  ASSERT_TRUE(midFrame) << "the script should turn the second in the middle of a frame";
  ASSERT_GT(recorded.lines.size(), 8u) << "the script should print the car keys' lines";
  ASSERT_TRUE(recorded.dragged && recorded.stopped) << "the script should drag and stop time";
  ASSERT_EQ(std::count(recorded.lines.begin(), recorded.lines.end(), recorded.lines.back()), 1)
      << "N's start-up lines, not those of the world gone back past";

  bool departed = true;
  const Played replayed = replay(*recording, departed);
  EXPECT_EQ(replayed.lines, recorded.lines);
  EXPECT_EQ(replayed.digest, recorded.digest);
  EXPECT_EQ(replayed.frames, recorded.frames);
  EXPECT_FALSE(departed);
  EXPECT_EQ(recording->checkpoints.size(), 5u);  // frames 60 to 300
  EXPECT_EQ(replayed.departedAt, -1);

  // The box dragged elsewhere from frame 30 on: the next checkpoint finds the world changed.
  Recording moved = *recording;
  for (InputEvent& e : moved.events)
    if (e.kind == InputEvent::Motion && e.x >= 500 + 3 * 30) e.y = 100;
  EXPECT_EQ(replay(moved, departed).departedAt, 60);

  // A change of the second at a reading the frame never makes: the replay says so.
  Recording unreached = *recording;
  unreached.clock.push_back({kMaxClockRead, 1800000000});
  replay(unreached, departed);
  EXPECT_TRUE(departed);
}

// Whatever the bytes, the reader answers with a recording or with one line
// naming the file and a line of it; under the sanitizers, without a report.
TEST(Recording, MangledRecordingsAreRefusedWithTheirLineOrRead) {
  const std::string good =
      "skyhook-recording 1 skyhook 0.1.0\n0 clock 0 1700000000\n5 press b 640 470 down space\n"
      "9 press c -300 20 up space clock 1 1700000001\n12 quit down kp6\nend 14\n";
  std::string error;
  ASSERT_TRUE(parseRecording(good, "m.rec", error)) << error;

  const std::regex named(R"(m\.rec:([0-9]+): [^\n]+)");
  const char* const pieces[] = {
      " ",   "\n",   "-",   "99999999999999999999", "0", "\r", "\t", "press", "clock", "end 3",
      "kp9", "\xff", "\x01"};
  std::mt19937 random(20);
  auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
  int refused = 0;
  for (int i = 0; i < 3000; ++i) {
    std::string text = good;
    for (int edits = 1 + static_cast<int>(pick(3)); edits > 0; --edits) {
      const size_t at = pick(text.size() + 1);
      switch (pick(4)) {
        case 0: text.insert(at, pieces[pick(std::size(pieces))]); break;
        case 1: text.erase(at, pick(12)); break;
        case 2:
          if (at < text.size()) text[at] = static_cast<char>(pick(256));
          break;
        default: text.resize(at); break;
      }
    }
    const auto lines = std::count(text.begin(), text.end(), '\n');
    std::smatch match;
    if (parseRecording(text, "m.rec", error)) continue;
    ++refused;
    ASSERT_TRUE(std::regex_match(error, match, named)) << error;
    EXPECT_LE(std::stol(match[1]), lines + 1) << error;
  }
  EXPECT_GT(refused, 2000);
}

// A frame alone only marks how far the session got: the reader keeps nothing
// of it, and the replay carries the held keys over it, going back too.
TEST(Recording, FramesThatChangedNothingCostNothing) {
  std::string error;
  const std::optional<Recording> marks = parseRecording(
      "skyhook-recording 1 skyhook 0.1.0\n0 clock 0 1700000000\n3 down space\n60\n120\n"
      "121 up space clock 0 1700000002\n180\n",
      "k.rec", error);
  ASSERT_TRUE(marks) << error;
  EXPECT_EQ(marks->frames.size(), 3u);
  EXPECT_EQ(marks->end, 180);
  EXPECT_FALSE(marks->ended);
  Replay replay(*marks);
  FrameInput input;
  auto heldToEnd = [&](long held) {
    while (replay.next(input)) held += input.held[key::SPACE] ? 1 : 0;
    return held;
  };
  EXPECT_EQ(heldToEnd(0), 118);
  EXPECT_EQ(replay.frames(), 180);

  // Run back (Backspace in a windowed replay): the keys held and the clock's
  // second are those of the frame it goes back to.
  for (long to : {150, 100}) {
    replay.rewindTo(to);
    ASSERT_TRUE(replay.next(input));
    EXPECT_EQ(replay.frames(), to + 1);
    EXPECT_EQ(input.held[key::SPACE] != 0, to < 120) << to;
    EXPECT_EQ(randomClock()(), to < 120 ? 1700000000 : 1700000002) << to;
  }
  EXPECT_EQ(heldToEnd(1), 20);
}

// A write that fails part of the way through a line (here at a file size
// limit, as at a full disk) leaves the file cut back to its last whole line,
// which plays; the failure is reported once.
TEST(Recording, AFailedWriteLeavesWholeLines) {
  const std::string path = ::testing::TempDir() + "whole_lines_test.rec";
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const rlimit limit{200, saved.rlim_max};
  RecordingWriter writer;
  std::string error;
  ASSERT_TRUE(writer.open(path, error)) << error;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  ::testing::internal::CaptureStderr();
  writer.line("0 clock 0 1700000000");
  for (long frame = 1; frame < 20; ++frame) writer.line(std::to_string(frame) + " press c 100 200");
  writer.close();
  const std::string reported = ::testing::internal::GetCapturedStderr();
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_TRUE(writer.failed());
  const std::optional<Recording> cut = readRecording(path, error);
  std::remove(path.c_str());
  ASSERT_TRUE(cut) << error;
  EXPECT_GT(cut->end, 5);
  EXPECT_EQ(reported,
            "skyhook: cannot write the recording " + path + ": File too large; it is incomplete\n");
}

// One wrong end line must not make a replay or a resume run for days: a
// recording with far more frames than its clock's seconds allow is refused,
// naming its last line. A session's own passes: time stopped for a day, or a
// clock set back (a replay of an old recording taken over today).
TEST(Recording, FramesFarBeyondTheClockAreRefused) {
  const std::string head = headerLine() + "\n0 clock 0 1700000000\n1 press p 0 0\n";
  std::string error;
  EXPECT_FALSE(parseRecording(head + "5 clock 0 1700000004\nend 1000000000\n", "e.rec", error));
  EXPECT_EQ(error,
            "e.rec:5: 1000000000 frames are more than the clock readings allow: 4 s from the "
            "first second to the last allow 5186400");
  EXPECT_FALSE(parseRecording(head + "99999999 press p 0 0\n", "e.rec", error));
  EXPECT_EQ(error.substr(0, 9), "e.rec:4: ") << error;

  EXPECT_TRUE(parseRecording(head + "end 5184000\n", "e.rec", error)) << error;
  EXPECT_TRUE(parseRecording(head + "7 clock 0 1600000000\nend 1000000000\n", "e.rec", error))
      << error;
}

// Over a file that holds something (a recording being resumed into itself),
// the lines go to a hidden file beside it: the file holds its old bytes until
// close, and then the whole new recording, by a rename. The lock holds
// throughout; a writer that fails or is dropped leaves the file as it was,
// and no hidden file.
TEST(Recording, ARecordingWrittenOverAFileTakesItsPlaceWholeAtClose) {
  const std::string path = ::testing::TempDir() + "replaced_test.rec";
  const std::string hidden = ::testing::TempDir() + ".replaced_test.rec.tmp";
  const std::string old = headerLine() + "\n0 clock 0 1700000000\n7 press b 640 470\nend 9\n";
  auto bytes = [](const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  auto inode = [](const std::string& file) {
    struct stat info {};
    return stat(file.c_str(), &info) == 0 ? info.st_ino : 0;
  };
  std::ofstream(path, std::ios::binary) << old;
  const ino_t before = inode(path);
  std::string error;
  {
    RecordingWriter writer;
    ASSERT_TRUE(writer.open(path, error)) << error;
    EXPECT_EQ(writer.writingTo(), hidden);
    RecordingWriter second;
    EXPECT_FALSE(second.open(path, error));
    EXPECT_EQ(error, "cannot record to " + path + ": another skyhook is recording to it");
    writer.line("0 clock 0 1700000000");
    for (long frame = 1; frame <= 200; ++frame) {
      writer.line(std::to_string(frame) + " press c 100 200");
      ASSERT_EQ(bytes(path), old) << "after frame " << frame;
    }
    writer.line(endLine(200));
    writer.close();
    EXPECT_FALSE(writer.failed());
  }
  EXPECT_NE(inode(path), before) << "a rename, not a write over the file";
  EXPECT_EQ(inode(hidden), 0u);
  std::optional<Recording> replaced = readRecording(path, error);
  ASSERT_TRUE(replaced) << error;
  EXPECT_TRUE(replaced->ended);
  EXPECT_EQ(replaced->end, 200);

  const std::string now = bytes(path);
  {  // dropped without close, as when the window cannot open after a resume
    RecordingWriter dropped;
    ASSERT_TRUE(dropped.open(path, error)) << error;
    dropped.line("0 clock 0 1700000000");
  }
  EXPECT_EQ(bytes(path), now);
  EXPECT_EQ(inode(hidden), 0u);

  // A write that fails (a file size limit, as a full disk) drops the new recording.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const rlimit limit{static_cast<rlim_t>(now.size() / 2), saved.rlim_max};
  RecordingWriter failing;
  ASSERT_TRUE(failing.open(path, error)) << error;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  ::testing::internal::CaptureStderr();
  for (long frame = 0; frame < 200; ++frame) failing.line(std::to_string(frame) + " press c 1 2");
  failing.close();
  const std::string reported = ::testing::internal::GetCapturedStderr();
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_TRUE(failing.failed());
  EXPECT_EQ(reported, "skyhook: cannot write the recording " + path +
                          ": File too large; it keeps what it held before\n");
  EXPECT_EQ(bytes(path), now);
  EXPECT_EQ(inode(hidden), 0u);
  std::remove(path.c_str());
}

// S writes the session whole under a hidden name and renames it into place: a
// process killed in the middle of the write (here by the file size limit's
// signal) leaves no half recording under a session's name, and a save that
// fails leaves no file at all.
TEST(Recording, ASaveTakesItsNameOnlyWhole) {
  char made[] = "/tmp/skyhook-saves-XXXXXX";
  ASSERT_TRUE(mkdtemp(made));
  const std::string data = made;
  const char* const xdg = std::getenv("XDG_DATA_HOME");
  const std::string previous = xdg ? xdg : "";
  setenv("XDG_DATA_HOME", data.c_str(), 1);
  const std::string folder = data + "/skyhook/sessions";
  auto names = [&] {
    std::vector<std::string> all;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      all.push_back(entry.path().filename().string());
    std::sort(all.begin(), all.end());
    return all;
  };
  std::string text = headerLine() + "\n0 clock 0 1700000000\n";
  for (long frame = 1; frame <= 20000; ++frame) text += std::to_string(frame) + " press c 1 2\n";
  text += endLine(20000) + "\n";
  const std::time_t when = 1700000000;
  std::string error;
  const std::optional<std::string> first = saveSession(text, when, error);
  ASSERT_TRUE(first) << error;
  const std::string stem = first->substr(0, first->size() - 4);
  ASSERT_EQ(names(), std::vector<std::string>{stem.substr(folder.size() + 1) + ".rec"});
  std::ifstream in(*first, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
  const std::vector<std::string> saved = names();

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit noCore{0, 0}, small{65536, RLIM_INFINITY};
    setrlimit(RLIMIT_CORE, &noCore);
    setrlimit(RLIMIT_FSIZE, &small);
    std::signal(SIGXFSZ, SIG_DFL);
    saveSession(text, when, error);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
  std::vector<std::string> left = names();
  ASSERT_EQ(left.size(), saved.size() + 1);
  const std::string hidden =
      "." + stem.substr(folder.size() + 1) + ".rec." + std::to_string(child) + ".tmp";
  EXPECT_TRUE(std::count(left.begin(), left.end(), hidden)) << left.back();
  std::filesystem::remove(folder + "/" + hidden);

  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit small{65536, limit.rlim_max};
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::optional<std::string> failed = saveSession(text, when, error);
  setrlimit(RLIMIT_FSIZE, &limit);
  EXPECT_FALSE(failed);
  EXPECT_EQ(error, "cannot save the session in " + folder + ": File too large");
  EXPECT_EQ(names(), saved);

  const std::optional<std::string> second = saveSession(text, when, error);
  EXPECT_EQ(second, stem + "-2.rec") << error;
  if (xdg) setenv("XDG_DATA_HOME", previous.c_str(), 1);
  else unsetenv("XDG_DATA_HOME");
  std::filesystem::remove_all(data);
}

// The saved sessions, newest first: a file the reader refuses is listed with
// its reason, a hidden one being written is not. --resume with no file takes
// the newest, to the world its row names; a session of 10 s or more is kept
// at its end unless --no-autosave, the newest 10 automatic saves stay and S's
// saves are never removed; an automatic save that fails says so.
TEST(Recording, SavedSessionsListNewestFirstAndAutomaticSavesKeepTheNewestTen) {
  char made[] = "/tmp/skyhook-list-XXXXXX";
  ASSERT_TRUE(mkdtemp(made));
  const std::string data = made, folder = data + "/skyhook/sessions";
  setenv("XDG_DATA_HOME", data.c_str(), 1);
  {
    const std::unique_ptr<Session> fresh = Session::open({std::nullopt, std::nullopt, "last"});
    ASSERT_TRUE(fresh) << "nothing to resume yet: a new session";
    EXPECT_FALSE(fresh->resuming());
  }
  auto recording = [](std::time_t start, long frames) {
    return headerLine() + "\n0 clock 0 " + std::to_string(start) + "\n5 press c 300 200\n" +
           endLine(frames) + "\n";
  };
  std::string error;
  const auto older = saveSession(recording(1700000000, 600), 1700000000, error);
  const auto newer = saveSession(recording(1700003333, 1500), 1700000100, error);
  ASSERT_TRUE(older && newer) << error;
  const std::string bad = folder + "/skyhook-20231114-000000.rec";
  std::ofstream(bad) << "not a recording\n";
  std::ofstream(folder + "/.skyhook-20231114-000001.rec.7.tmp") << recording(1700000000, 9);
  const auto age = [](const std::string& path, int minutes) {
    std::filesystem::last_write_time(
        path, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(minutes));
  };
  age(*older, 30);
  age(bad, 20);
  age(*newer, 10);
  std::vector<SavedSession> listed = listSavedSessions();
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_EQ(listed[0].path, *newer);
  EXPECT_EQ(listed[1].path, bad);
  EXPECT_EQ(listed[2].path, *older);
  EXPECT_TRUE(listed[0].readable && listed[2].readable);
  EXPECT_EQ(listed[0].frames, 1500);
  EXPECT_NE(listed[0].seed, listed[2].seed);
  EXPECT_FALSE(listed[1].readable);
  EXPECT_EQ(listed[1].reason.rfind("1: ", 0), 0u) << listed[1].reason;

  {
    const std::unique_ptr<Session> last = Session::open({std::nullopt, std::nullopt, "last"});
    ASSERT_TRUE(last);
    EXPECT_EQ(last->resumingFrom(), *newer);
    State state;
    const ConsoleCapture console;
    ASSERT_TRUE(last->resume(state));
    EXPECT_EQ(state.coefMontagne, listed[0].seed) << "the seed the list shows";
  }

  // Twelve automatic saves and two of S's: the two oldest automatic ones go.
  for (int i = 0; i < 12; ++i) {
    const auto automatic = saveSession(recording(1700000000, 600), 1700001000 + i, error, true);
    ASSERT_TRUE(automatic) << error;
    age(*automatic, 100 - i);
  }
  pruneAutomaticSaves();
  auto automatics = [&] {
    std::vector<std::string> names;
    for (const SavedSession& saved : listSavedSessions())
      if (saved.automatic) names.push_back(saved.name);
    return names;
  };
  EXPECT_EQ(automatics().size(), 10u);
  EXPECT_TRUE(std::filesystem::exists(*older) && std::filesystem::exists(*newer));
  const std::vector<std::string> before = automatics();

  // Live sessions of 599 and 600 frames, and 600 with --no-autosave.
  auto play = [](SessionOptions options, long frames, MessageSink sink = {}) {
    const std::unique_ptr<Session> session = Session::open(options);
    session->tellMessagesTo(std::move(sink));
    State state;
    const ConsoleCapture console;
    startUpWithoutWindow(state);
    FrameInput input;
    for (long n = 0; n < frames; ++n) session->play(state, input, nullptr);
    return session->finish(state);
  };
  SessionOptions quiet;
  quiet.noAutosave = true;
  EXPECT_EQ(play({}, kAutosaveFrames - 1), 0);
  EXPECT_EQ(play(quiet, kAutosaveFrames), 0);
  EXPECT_EQ(automatics(), before) << "nothing kept";
  EXPECT_EQ(play({}, kAutosaveFrames), 0);
  const std::vector<std::string> after = automatics();
  ASSERT_EQ(after.size(), 10u);
  EXPECT_EQ(std::count(before.begin(), before.end(), after.front()), 0) << "the newest is new";
  EXPECT_EQ(after.back(), before[before.size() - 2]) << "and the oldest went";

  setenv("XDG_DATA_HOME", (bad + "/cannot").c_str(), 1);
  std::string told;
  EXPECT_EQ(play({}, kAutosaveFrames, [&](const std::string& text) { told = text; }), 1);
  EXPECT_EQ(told.rfind("cannot save the session", 0), 0u) << told;
  unsetenv("XDG_DATA_HOME");
  std::filesystem::remove_all(data);
}
// A replay steered back with Backspace, on at double and half speed, then T in
// the middle of a drag, with the replay stopped and stepped first: each world
// is the live one of its frame, stopping steps nothing, and the session's own
// recording (live part included) replays to where it ended.
TEST(Recording, AReplayTakenOverGoesOnFromTheLiveWorldOfThatFrame) {
  const std::string path = ::testing::TempDir() + "take_over_test.rec";
  const Played recorded = record(path);
  auto live = [&](long frame) { return recorded.digests.at(frame - 1); };
  constexpr long kTakeOver = 20;  // the script drags from frame 3 to 40
  SessionOptions options;
  options.replay = path;
  std::unique_ptr<Session> session = Session::open(options);
  std::remove(path.c_str());
  ASSERT_TRUE(session);
  ConsoleCapture console;
  std::string digest, text;
  {  // one state at a time: the history keeps Box2D's memory whole
    State state;
    startUpWithoutWindow(state);
    // Frames of the replay with these keys pressed, or Backspace held; the world after.
    auto play = [&](int frames, std::vector<int> keys = {}, bool back = false) {
      FrameInput in;
      in.held[key::BACKSPACE] = back;
      for (int symbol : keys) in.events.push_back({InputEvent::KeyPress, symbol});
      for (int n = 0; n < frames; ++n) session->play(state, in, nullptr);
      return digestLine(worldDigest(*state.world));
    };
    EXPECT_EQ(play(kTakeOver), live(kTakeOver));
    EXPECT_EQ(play(5, {}, true), live(kTakeOver - 5));
    EXPECT_EQ(play(1, {key::RIGHTBRACKET}), live(kTakeOver - 3));  // two frames
    EXPECT_EQ(session->replayShift(), 1);
    play(1, {key::LEFTBRACKET});
    EXPECT_EQ(play(1, {key::LEFTBRACKET}), live(kTakeOver - 2));  // at half speed it holds
    EXPECT_EQ(session->replayShift(), -1);
    play(1);
    EXPECT_EQ(play(1, {key::RIGHTBRACKET}), live(kTakeOver));
    ASSERT_TRUE(grabbing(state));
    play(1, {key::P});
    EXPECT_TRUE(session->replayStopped());
    EXPECT_EQ(play(3), live(kTakeOver));
    play(1, {key::O});
    EXPECT_EQ(play(1), live(kTakeOver + 1));

    // From here the keyboard plays: the stopped replay goes on stopped, the drag
    // is let go, then the script starts time again and goes on to its quit.
    session->takeOver();
    HeldKeys held{};
    for (long n = kTakeOver + 2; state.running; ++n) {
      FrameInput input = scripted(n, held);
      if (n == kTakeOver + 10) input.events.push_back({InputEvent::KeyPress, key::P});
      ASSERT_TRUE(session->play(state, input, nullptr));
      if (n == kTakeOver + 2) {
        EXPECT_TRUE(!session->replaying() && state.paused && !grabbing(state));
      }
    }
    EXPECT_FALSE(state.paused);
    digest = digestLine(worldDigest(*state.world));
    text = session->textSoFar();
    session.reset();
  }
  const std::vector<std::string> lines = console.lines();

  std::string error;
  const std::optional<Recording> own = parseRecording(text, "own.rec", error);
  ASSERT_TRUE(own) << error;
  bool departed = true;
  const Played replayed = replay(*own, departed);
  EXPECT_FALSE(departed);
  EXPECT_EQ(replayed.digest, digest);
  EXPECT_EQ(replayed.lines, lines);
}

// A live session played by `script` to its quit, opened as the program opens
// one (its console lines, and so its keyframes, kept; no automatic save),
// started afresh or resumed; whether F5's moment is kept at the end.
template <class Script>
bool playLive(SessionOptions options, Script script) {
  const ConsoleCapture console;
  options.noAutosave = true;
  std::unique_ptr<Session> session = Session::open(options);
  if (!session) {
    ADD_FAILURE() << "not opened";
    return false;
  }
  session->keepConsoleLines();
  State state;
  if (options.resume) EXPECT_TRUE(session->resume(state) && session->resumedFromKeyframe());
  else startUpWithoutWindow(state);
  HeldKeys held{};
  for (long n = 1; state.running; ++n) {
    FrameInput input = script(n, held);
    session->play(state, input, nullptr);
  }
  EXPECT_EQ(session->finish(state), 0);
  return state.keptMoment != nullptr;
}

// The world a session's own recording `text` replays to, as the program replays one.
std::string replayedTo(const std::string& text, const std::string& path) {
  std::ofstream(path, std::ios::binary) << text;
  SessionOptions options;
  options.replay = path;
  std::unique_ptr<Session> replay = Session::open(options);
  if (!replay) return "not opened";
  const ConsoleCapture console;
  State state;
  startUpWithoutWindow(state);
  FrameInput none;
  while (state.running && !replay->replayEnded() && replay->play(state, none, nullptr)) {
  }
  EXPECT_EQ(replay->finish(state), 0);
  std::remove(path.c_str());
  return digestLine(worldDigest(*state.world));
}

// A live session recorded to a file keeps its last moment beside it, F5's
// moment included: a resume from that keyframe says the same console lines,
// reaches the same world, keeps the same recording and returns to the same
// moment with F9 as the full re-play. A keyframe of another build, one with a
// byte flipped, one cut short and one that its digest proves wrong all fall
// back to the re-play, with one line saying why. Either way, Backspace held
// longer than the resumed session has played reaches no moment before the
// resume, and the replay of what it records keeps to that too.
TEST(Recording, AResumeFromItsKeyframeIsTheFullReplayWithoutTheWait) {
  const std::string path =
      ::testing::TempDir() + "keyframe_test." + std::to_string(getpid()) + ".rec";
  const std::string beside = keyframesPathFor(path);
  SessionOptions recording;
  recording.record = path;
  EXPECT_TRUE(playLive(recording, scripted)) << "F5's moment goes with the keyframe";
  ASSERT_TRUE(std::filesystem::exists(beside));

  struct Resumed {
    std::vector<std::string> lines;
    std::string digest, afterF9, text, err;
    std::string afterBack, textAfterBack;  // the resumed session's own course
  };
  auto resume = [&](bool noKeyframes) {
    Resumed r;
    const ConsoleCapture console;
    SessionOptions options;
    options.resume = path;
    options.noAutosave = true;
    options.noKeyframes = noKeyframes;
    std::unique_ptr<Session> session = Session::open(options);
    if (!session) return r;
    session->keepConsoleLines();
    State state;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(session->resume(state));
    r.err = testing::internal::GetCapturedStderr();
    r.digest = digestLine(worldDigest(*state.world));
    r.text = session->textSoFar();
    for (int n = 0; n < 60; ++n) {
      FrameInput input;
      input.held[key::BACKSPACE] = n >= 10 && n < 40;
      session->play(state, input, nullptr);
    }
    r.afterBack = digestLine(worldDigest(*state.world));
    r.textAfterBack = session->textSoFar();
    // F9's moment, stepped on: the live frames would read the calendar's second.
    returnToKeptMoment(state);
    for (int n = 0; n < 60; ++n) state.world->Step(1.0f / 60, 8, 3);
    r.afterF9 = digestLine(worldDigest(*state.world));
    session.reset();
    r.lines = console.lines();
    return r;
  };
  const Resumed full = resume(true);
  ASSERT_FALSE(full.lines.empty());
  auto sameAsFull = [&](const Resumed& r, const std::string& what) {
    EXPECT_EQ(r.digest, full.digest) << what;
    EXPECT_EQ(r.afterF9, full.afterF9) << what;
    EXPECT_EQ(r.lines, full.lines) << what;
    EXPECT_EQ(r.text, full.text) << what;
  };
  const Resumed quick = resume(false);
  EXPECT_EQ(quick.err, "");
  sameAsFull(quick, "from the keyframe");
  EXPECT_NE(full.afterF9, full.digest) << "F9 went somewhere";
  for (const Resumed* r : {&full, &quick})
    EXPECT_EQ(replayedTo(r->textAfterBack, path + ".own"), r->afterBack) << (r == &full);

  std::string why;
  const std::optional<KeyframeFile> good = readKeyframes(beside, buildIdentity(), why);
  ASSERT_TRUE(good) << why;
  ASSERT_EQ(good->frames.size(), 1u);
  auto rewrite = [&](KeyframeFile f) {
    std::string error;
    EXPECT_TRUE(writeKeyframes(beside, f, error)) << error;
  };
  KeyframeFile marked = *good;  // the lines a resume says come from the keyframe itself
  marked.frames.back().console += "said by the keyframe\n";
  rewrite(marked);
  const std::vector<std::string> said = resume(false).lines;
  EXPECT_EQ(std::count(said.begin(), said.end(), "said by the keyframe"), 1);

  auto fallsBack = [&](const std::string& what, const std::string& reason) {
    const Resumed r = resume(false);
    EXPECT_NE(r.err.find(reason), std::string::npos) << what << ": " << r.err;
    EXPECT_NE(r.err.find("re-playing it whole"), std::string::npos) << what << ": " << r.err;
    sameAsFull(r, what);
  };
  KeyframeFile foreign = *good;
  foreign.identity = "program 0123 box2d 2.4.1 4567";
  rewrite(foreign);
  fallsBack("another build", "another build");
  KeyframeFile wrong = *good;
  wrong.frames.back().digest ^= 1;
  rewrite(wrong);
  fallsBack("a wrong digest", "another world");

  rewrite(*good);
  std::ifstream in(beside, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  in.close();
  std::string flipped = bytes;
  flipped[flipped.size() / 2] ^= 0x10;
  std::ofstream(beside, std::ios::binary) << flipped;
  fallsBack("a flipped byte", "keyframe");
  std::ofstream(beside, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
  fallsBack("cut short", "damaged or cut short");
  std::remove(path.c_str());
  std::remove(beside.c_str());
}

// A ride of a little over a minute, with cars, a new world and a kept moment
// on both sides of the minute's keyframe, and a way back in time before it;
// with `backAfter`, a way back after it too, to before it.
FrameInput minuteRide(long n, bool backAfter, HeldKeys& held) {
  FrameInput in;
  const bool back = (n >= 500 && n < 530) || (backAfter && n >= 3650 && n < 3770);
  held[key::BACKSPACE] = back;
  held[key::RIGHT] = !back;
  if (n % 600 == 0) in.events.push_back({InputEvent::KeyPress, key::C, 700, 300});
  if (n == 1000 || n == 3900) in.events.push_back({InputEvent::KeyPress, key::N});
  if (n == 2000) in.events.push_back({InputEvent::KeyPress, key::F5});
  if (n == 4300) in.events.push_back({InputEvent::Quit});
  in.held = held;
  return in;
}

// A minute's keyframe beside a live session's recording. A windowed replay
// sought to its moment restores it: the same world, console lines, bar and
// end as a replay that played every frame. Where the recording goes back
// after it, or its digest proves it wrong (one line says so), the seek plays
// every frame instead. Taken over after the seek, the session's own recording
// replays to its world; resumed and recorded on, it carries the keyframes on.
TEST(Recording, AReplaySoughtToAKeyframesFrameEqualsAReplayPlayedToIt) {
  for (const bool backAfter : {false, true}) {
    SCOPED_TRACE(backAfter ? "going back after the keyframe" : "going back only before it");
    const std::string path = ::testing::TempDir() + "minute." + std::to_string(getpid()) + ".rec";
    const std::string on = path + ".on.rec";
    SessionOptions recording;
    recording.record = path;
    playLive(recording, [&](long n, HeldKeys& held) { return minuteRide(n, backAfter, held); });
    std::string why;
    const std::optional<KeyframeFile> file =
        readKeyframes(keyframesPathFor(path), buildIdentity(), why);
    ASSERT_TRUE(file) << why;
    ASSERT_EQ(file->frames.size(), 2u) << "a minute's and the last moment";
    const Keyframe& minute = file->frames[0];
    EXPECT_EQ(minute.timeAt, KeptKeyframes::kEvery - 60) << "30 frames held back, each one back";

    struct Sought {
      std::string atTarget, atEnd, err, text;
      std::vector<std::string> lines;  // all said, those of the frames sought past too
      long oldest = -1, total = -1;
    };
    // Past the way back before the keyframe (every frame played), then to it,
    // and on to the end; or, with `takeOver`, T a hundred frames on, then
    // Backspace held longer than that: the session's own recording.
    auto seek = [&](bool noKeyframes, bool takeOver = false) {
      Sought s;
      const ConsoleCapture console;
      SessionOptions options;
      options.replay = path;
      options.noKeyframes = noKeyframes;
      std::unique_ptr<Session> session = Session::open(options);
      if (!session) return s;
      session->keepConsoleLines();
      State state;
      startUpWithoutWindow(state);
      FrameInput in, none, back;
      back.held[key::BACKSPACE] = 1;
      for (const long moment : {600L, minute.timeAt}) {
        in.events = {{InputEvent::Seek, seekOnBar, static_cast<int>(moment), 0}};
        testing::internal::CaptureStderr();
        session->play(state, in, nullptr);
        s.err = testing::internal::GetCapturedStderr();
      }
      s.atTarget = digestLine(worldDigest(*state.world));
      s.oldest = session->timeline(s.total).oldest;
      in.events = {{InputEvent::KeyPress, key::P}};
      session->play(state, in, nullptr);
      if (takeOver) {
        for (int n = 0; n < 100; ++n) session->play(state, none, nullptr);
        session->takeOver();
        for (int n = 0; n < 250; ++n) session->play(state, n < 200 ? back : none, nullptr);
        s.text = session->textSoFar();
      } else {
        while (state.running && !session->replayEnded() && session->play(state, none, nullptr)) {
        }
        EXPECT_EQ(session->finish(state), 0) << "no departure from the checkpoints";
      }
      s.atEnd = digestLine(worldDigest(*state.world));
      s.lines = console.lines();
      return s;
    };
    const Sought played = seek(true);
    EXPECT_EQ(played.atTarget, digestLine(minute.digest));
    auto samePlace = [&](const Sought& s, long oldest) {
      EXPECT_EQ(s.atTarget, played.atTarget);
      EXPECT_EQ(s.oldest, oldest) << "the history begins where the keyframe went on";
      EXPECT_EQ(s.total, played.total);
      EXPECT_EQ(s.atEnd, played.atEnd);
      EXPECT_EQ(s.lines, played.lines);
    };
    EXPECT_EQ(played.oldest, 0);
    const Sought sought = seek(false);
    samePlace(sought, backAfter ? 0 : minute.timeAt);
    EXPECT_EQ(sought.err, "");

    if (!backAfter) {
      const Sought taken = seek(false, true);
      EXPECT_EQ(replayedTo(taken.text, path + ".own.rec"), taken.atEnd);

      KeyframeFile wrong = *file;
      wrong.frames[0].digest ^= 1;
      ASSERT_TRUE(writeKeyframes(keyframesPathFor(path), wrong, why)) << why;
      const Sought refused = seek(false);
      EXPECT_NE(refused.err.find("keyframe at frame 3600 cannot be restored"), std::string::npos)
          << refused.err;
      EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1);
      samePlace(refused, 0);
      ASSERT_TRUE(writeKeyframes(keyframesPathFor(path), *file, why)) << why;

      SessionOptions resumed;  // on from the last moment, for ten frames
      resumed.resume = path;
      resumed.record = on;
      playLive(resumed, [](long n, HeldKeys&) {
        FrameInput in;
        if (n == 10) in.events.push_back({InputEvent::Quit});
        return in;
      });
      const std::optional<KeyframeFile> carried =
          readKeyframes(keyframesPathFor(on), buildIdentity(), why);
      ASSERT_TRUE(carried) << why;
      ASSERT_EQ(carried->frames.size(), 3u);
      EXPECT_EQ(carried->frames[0].digest, minute.digest);
      EXPECT_EQ(carried->frames[1].frame, 4300);
      EXPECT_EQ(carried->frames[2].frame, 4310);
    }
    for (const std::string& each : {path, on, keyframesPathFor(path), keyframesPathFor(on)})
      std::remove(each.c_str());
  }
}

// A keyframes file keeps the newest keyframes that fit its cap and refuses a
// last moment beyond it; a reader refuses another build's before reading on,
// and lengths that run past the file's end without taking what they claim.
TEST(Recording, AKeyframesFileKeepsTheNewestWithinItsCapAndIsReadWithinBounds) {
  const std::string path =
      ::testing::TempDir() + "cap." + std::to_string(getpid()) + ".rec.keyframes";
  KeyframeFile file;
  file.identity = "this build";
  file.recording = 7;
  Keyframe k;
  k.console = "SEED = 1\n";
  k.moment.assign(std::size_t{12} << 20, 'm');
  for (long frame : {60, 120, 180}) {
    k.frame = k.timeAt = frame;
    k.digest = static_cast<std::uint64_t>(frame) * 1000;
    file.frames.push_back(k);
  }
  std::string error, why;
  ASSERT_TRUE(writeKeyframes(path, file, error)) << error;
  std::optional<KeyframeFile> read = readKeyframes(path, "this build", why);
  ASSERT_TRUE(read) << why;
  ASSERT_EQ(read->frames.size(), 2u) << "two of 12 MiB fit in 32";
  EXPECT_EQ(read->frames[0].frame, 120);
  EXPECT_EQ(read->frames[1].digest, 180000u);
  EXPECT_EQ(read->frames[1].console, k.console);
  EXPECT_EQ(read->frames[1].moment, k.moment);
  EXPECT_EQ(read->recording, 7u);
  EXPECT_FALSE(readKeyframes(path, "another build", why));
  EXPECT_NE(why.find("another build"), std::string::npos) << why;

  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  in.close();
  // The first keyframe's console length, after the magic, identity, recording,
  // count, frame, moment, digest and whether the history's line ends there.
  const std::size_t length = 20 + 8 + file.identity.size() + 8 + 8 + 4 * 8;
  for (std::uint64_t claim : {std::uint64_t{1} << 62, std::uint64_t(bytes.size())}) {
    std::string mangled = bytes;
    std::memcpy(&mangled[length], &claim, sizeof claim);
    std::ofstream(path, std::ios::binary) << mangled;
    EXPECT_FALSE(readKeyframes(path, "this build", why)) << claim;
    EXPECT_NE(why.find("damaged or cut short"), std::string::npos) << why;
  }

  // A session's minute keyframes thin out evenly, the oldest of equals first,
  // leaving room for a last moment as large as the newest; one whose console
  // lines are not those said is not kept.
  {
    KeptKeyframes kept;
    Keyframe minute = k;
    minute.moment.assign(std::size_t{6} << 20, 'm');
    for (long m = 1; m <= 7; ++m) {
      minute.frame = minute.timeAt = m * KeptKeyframes::kEvery;
      kept.carry(minute, m < 7 ? "SEED = 1\nmore\n" : "SEED = 2\n");
    }
    std::vector<long> minutes;
    for (const Keyframe& each : kept.all("SEED = 1\n"))
      minutes.push_back(each.console == "SEED = 1\n" ? each.frame / KeptKeyframes::kEvery : -1);
    EXPECT_EQ(minutes, (std::vector<long>{2, 4, 5, 6}));
    EXPECT_LE(kept.bytes() + minute.moment.size(), kMostKeyframeBytes);
  }

  file.frames = {k};
  file.frames[0].moment.assign(kMostKeyframeBytes, 'm');
  std::remove(path.c_str());
  EXPECT_FALSE(writeKeyframes(path, file, error));
  EXPECT_NE(error.find("32 MiB"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(path));
}
