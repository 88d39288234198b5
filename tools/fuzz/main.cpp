// Plays the game headless with seeded random input and checks what must always
// hold after every frame (tools/fuzz/invariants.h), and after every way back
// in time that a replay of its own recording so far ends in the same world. On the first failure,
// or when the process dies, it leaves the recording that reproduces it and ends with status 1. The
// last line: "fuzz: N frames, seed S, F failures".
//
//   skyhook_fuzz [--frames N] [--seed S] [--out FILE] [--keep] [--plant-fault]
//   skyhook_fuzz --replay FILE [--plant-fault]
//
// --keep keeps the recording of a run without failures too (input for the
// replay's benchmark). --replay checks a recording frame by frame instead. --plant-fault breaks
// the game on purpose, for the test that the fuzzer hands back what broke: a
// crane car that lies dropped is destroyed behind the destroy routine's back.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "game/keys.h"
#include "recording/digest.h"
#include "recording/recording_reader.h"
#include "recording/recording_writer.h"
#include "session/history.h"
#include "session/play_input.h"
#include "session/recorder.h"
#include "session/replay.h"
#include "state/state.h"
#include "support/console_capture.h"
#include "tools/fuzz/invariants.h"
#include "tools/fuzz/random_play.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

struct Options {
  long frames = 100000;
  std::uint64_t seed = 1;
  std::string out;
  std::optional<std::string> replay;
  bool plantFault = false;
  bool keep = false;
};

// Messages go to standard output beside the game's console, which the fuzzer captures.
void say(const std::string& text) {
  std::fputs(("fuzz: " + text + "\n").c_str(), stdout);
  std::fflush(stdout);
}

template <typename Number>
bool parse(const char* text, Number& value) {
  const char* end = text + std::strlen(text);
  const auto [stop, ec] = std::from_chars(text, end, value);
  return ec == std::errc() && stop == end && *text != '\0';
}

std::optional<Options> readOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (a == "--plant-fault" || a == "--keep") {
      (a == "--keep" ? o.keep : o.plantFault) = true;
      continue;
    }
    bool ok = value != nullptr;
    if (a == "--frames")
      ok = ok && parse(value, o.frames) && o.frames >= 0 && o.frames <= kMaxFrame;
    else if (a == "--seed") ok = ok && parse(value, o.seed);
    else if (a == "--out") o.out = value ? value : "";
    else if (a == "--replay") o.replay = value ? value : "";
    else ok = false;
    if (!ok) {
      std::fprintf(
          stderr,
          "usage: skyhook_fuzz [--frames N] [--seed S] [--out FILE] [--keep] [--plant-fault]\n"
          "       skyhook_fuzz --replay FILE [--plant-fault]\n");
      return std::nullopt;
    }
    ++i;
  }
  if (o.out.empty()) o.out = "fuzz-seed-" + std::to_string(o.seed) + ".rec";
  return o;
}

void plantFault(State& state) {
  if (state.craneCarDropped()) state.world->DestroyBody(state.car);  // the handle stays: the fault
}

// Plays one frame through the session's path and checks it.
std::string playAndCheck(State& state, History& history, const FrameInput& input,
                         Invariants& invariants, ConsoleCapture& console, bool planted) {
  invariants.expectWalk(!input.held[key::BACKSPACE]);
  history.play(state, input, &invariants);
  if (planted) plantFault(state);
  const std::string faults = invariants.check(console.lines());
  console.clear();
  return faults;
}

// What a dying process leaves behind: the frame so far, and the end line.
struct Dying {
  Recorder* recorder = nullptr;
  RecordingWriter* writer = nullptr;
  const FrameInput* input = nullptr;
} dying;

void leaveRecording() {
  if (!dying.recorder) return;
  Recorder* recorder = std::exchange(dying.recorder, nullptr);
  recorder->abandon(*dying.input);
  dying.writer->close();  // a recording that replaces an earlier one takes its name now
  std::fprintf(stderr, "fuzz: frame %ld: the process dies; the recording that reproduces it: %s\n",
               recorder->frames(), dying.writer->path().c_str());
}

#if !defined(__SANITIZE_ADDRESS__)
void onFatalSignal(int number) {
  leaveRecording();
  signal(number, SIG_DFL);
  raise(number);
}
#endif

void watchForDeath() {
#if defined(__SANITIZE_ADDRESS__)
  __sanitizer_set_death_callback(leaveRecording);  // the sanitizers report, then this runs
#else
  for (int number : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) signal(number, onFatalSignal);
#endif
}

// The recording so far, replayed from its start, must end in this world: the
// way back took the replay along the same branch. In a child process, where
// the fuzzer's own world can go, since Box2D's region holds one world at a time.
std::string replayAgrees(State& state, const RecordingWriter& writer) {
  const std::uint64_t digest = worldDigest(*state.world);
  std::fflush(stdout);
  const pid_t child = fork();
  if (child < 0) return "";  // no process to spare: the check is skipped, not failed
  if (child == 0) {
    state.world.reset();
    std::string error;
    const std::optional<Recording> recording = readRecording(writer.writingTo(), error);
    if (!recording) _exit(2);
    ConsoleCapture quiet;
    Replay replay(*recording);
    State again;
    startUpWithoutWindow(again);
    History history;
    FrameInput input;
    while (again.running && replay.next(input)) history.play(again, input);
    _exit(worldDigest(*again.world) == digest ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return "";
  return "after going back in time, a replay of the recording so far ends in another world";
}

int fuzz(const Options& o) {
  RecordingWriter writer;
  std::string error;
  if (!writer.open(o.out, error)) {
    std::fprintf(stderr, "fuzz: %s\n", error.c_str());
    return 2;
  }
  ConsoleCapture console;
  RandomPlay play(o.seed);
  Recorder recorder(writer, [&play] { return play.clock().read(); });
  FrameInput input;
  dying = {&recorder, &writer, &input};
  watchForDeath();

  State state;
  startUpWithoutWindow(state);
  History history;
  Invariants invariants(state);
  std::string faults = invariants.check(console.lines());
  console.clear();
  long frame = 0;
  bool goingBack = false;
  while (faults.empty() && frame < o.frames) {
    input = play.next(state);
    recorder.beginFrame();
    ++frame;
    faults = playAndCheck(state, history, input, invariants, console, o.plantFault);
    recorder.endFrame(input, *state.world);
    const bool back = input.held[key::BACKSPACE];
    if (goingBack && !back && faults.empty()) faults = replayAgrees(state, writer);
    goingBack = back;
  }
  dying = {};
  recorder.finish();
  writer.close();
  if (faults.empty()) {
    if (!o.keep) std::remove(o.out.c_str());
  } else {
    say("frame " + std::to_string(frame) + ": " + faults);
    say("the recording that reproduces it: " + o.out + " (skyhook --replay " + o.out +
        " --headless)");
  }
  say(std::to_string(frame) + " frames, seed " + std::to_string(o.seed) + ", " +
      (faults.empty() ? "0" : "1") + " failures");
  return faults.empty() ? 0 : 1;
}

int replay(const Options& o) {
  std::string error;
  const std::optional<Recording> recording = readRecording(*o.replay, error);
  if (!recording) {
    std::fprintf(stderr, "fuzz: %s\n", error.c_str());
    return 2;
  }
  ConsoleCapture console;
  Replay replay(*recording);
  State state;
  startUpWithoutWindow(state);
  History history;
  Invariants invariants(state);
  std::string faults = invariants.check(console.lines());
  console.clear();
  FrameInput input;
  while (faults.empty() && state.running && replay.next(input))
    faults = playAndCheck(state, history, input, invariants, console, o.plantFault);
  if (!faults.empty()) say("frame " + std::to_string(replay.frames()) + ": " + faults);
  say(std::to_string(replay.frames()) + " frames replayed from " + *o.replay + ", " +
      (faults.empty() ? "0" : "1") + " failures");
  return faults.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = readOptions(argc, argv);
  if (!options) return 2;
  return options->replay ? replay(*options) : fuzz(*options);
}
