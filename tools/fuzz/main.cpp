// Plays the game headless with seeded random input and checks what must always
// hold after every frame (tools/fuzz/invariants.h); after every Backspace and
// one move in four along the bar, undo, redo or a branch, that a replay of its own
// recording so far, headless or steered as in the window, ends in the same
// world, and that a steered replay taken over with T and played on saves a
// session that replays to its own world; and after every S that the saved
// session resumes to it. On the first failure, or when the process dies, it
// leaves the recording that reproduces it and ends with status 1. The last
// line: "fuzz: N frames, seed S, F failures".
//
//   skyhook_fuzz [--frames N] [--seed S] [--out FILE] [--keep] [--plant-fault]
//                [--no-time-moves]
//   skyhook_fuzz --replay FILE [--plant-fault]
//
// --no-time-moves leaves out the random moves along the bar, undo, redo and
// branch switches (--time-moves, which turned them on before they were part of
// every run, is still taken). --keep keeps the recording of a run without
// failures too (input for the replay's benchmark). --replay checks a recording
// frame by frame instead. --plant-fault breaks the game on purpose, for the
// test that the fuzzer hands back what broke: a crane car that lies dropped is
// destroyed behind the destroy routine's back.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include "game/keys.h"
#include "recording/digest.h"
#include "recording/recording_reader.h"
#include "recording/recording_writer.h"
#include "session/history.h"
#include "session/keyframe_file.h"
#include "session/play_input.h"
#include "session/recorder.h"
#include "session/replay.h"
#include "session/session.h"
#include "state/keyframe.h"
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
  bool timeMoves = true;  // moves along the bar, undo, redo and branch switches too
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
    if (a == "--plant-fault" || a == "--keep" || a == "--time-moves" || a == "--no-time-moves") {
      if (a == "--no-time-moves") o.timeMoves = false;
      else if (a != "--time-moves") (a == "--keep" ? o.keep : o.plantFault) = true;
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
          "                    [--no-time-moves]\n"
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
  // No walk when the frame goes back, moves along the bar, or time stands
  // where a move went (until P starts it again): the picture is only drawn.
  bool moves = input.held[key::BACKSPACE] != 0, p = false;
  for (const InputEvent& e : input.events) {
    moves |= e.kind == InputEvent::Seek;
    p |= e.kind == InputEvent::KeyPress && e.symbol == key::P;
  }
  invariants.expectWalk(!moves && !(history.summary().held && !p));
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

// How a recording of the session so far is played again to check it.
enum class Check {
  replay,   // headless, from its start
  steered,  // in a replay that the keyboard steers: stopped, stepped, slowed, sped, sent back
  resume,   // resumed, as --resume does before it goes on live
};

// A windowed replay without its window, steered at random by the keys a user
// has during one, and played to its end; or in one run of two taken over with
// T at a random picture and played on live at random for a while. True when
// taken over.
bool playSteered(Session& session, State& state, std::uint64_t seed, long frames) {
  std::mt19937_64 random(seed);
  auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(random) < p; };
  auto between = [&](long low, long high) {
    return std::uniform_int_distribution<long>(low, high)(random);
  };
  const long takeOverAt = chance(0.5) ? between(0, frames) : -1;
  long back = 0;
  // Bounded, whatever the steering: stopped time starts again soon, and going
  // back is rare and short against the frames played forward.
  for (long picture = 0; picture < 40 * frames + 10000; ++picture) {
    if (picture == takeOverAt) {
      session.takeOver();
      RandomPlay play(seed);
      for (long n = between(1, 1200); n > 0; --n) {
        FrameInput live = play.next(state);
        long total = 0;
        if (play.movesInTime())
          play.moveInTime(live, session.timeline(total), session.undoTarget(),
                          session.redoTarget());
        session.play(state, live, nullptr);
      }
      return true;
    }
    FrameInput live;
    auto press = [&](int symbol) { live.events.push_back({InputEvent::KeyPress, symbol, 0, 0}); };
    if (session.replayStopped() ? chance(0.05) : chance(0.002)) press(key::P);
    if (session.replayStopped() && chance(0.2)) press(key::O);
    if (chance(0.004)) press(chance(0.5) ? key::LEFTBRACKET : key::RIGHTBRACKET);
    if (back == 0 && chance(0.002)) back = between(1, 120);
    live.held[key::BACKSPACE] = back > 0 && back--;
    if (!session.play(state, live, nullptr)) return false;
  }
  return false;
}

// The world that a recording, given as text, replays to.
std::optional<std::uint64_t> replayedWorld(const std::string& text) {
  std::string error;
  const std::optional<Recording> recording = parseRecording(text, "taken-over.rec", error);
  if (!recording) return std::nullopt;
  Replay replay(*recording);
  State state;
  startUpWithoutWindow(state);
  History history;
  FrameInput input;
  while (state.running && replay.next(input)) history.play(state, input);
  return worldDigest(*state.world);
}

// How a child that played a recording again ends: in the same world, or taken
// over and saved to a recording that replays to the world it played on to.
constexpr int kAgrees = 0, kTakenOverAgrees = 10, kTakenOverDiffers = 11, kKeyframeRefused = 12;

// S's keyframe of the session's last moment beside the saved recording, as a
// session that keeps its console lines writes it: the resume restores it in
// place of the re-play.
void keepKeyframe(const State& state, const std::string& path, const std::string& text, long frames,
                  long moment) {
  Keyframe k;
  k.frame = frames;
  k.timeAt = moment;
  k.digest = worldDigest(*state.world);
  std::string why;
  KeyframeFile file;
  file.identity = buildIdentity();
  file.recording = recordingHash(text);
  if (encodeMoment(state, k.moment, why)) file.frames.push_back(std::move(k));
  // None written: the resume check fails on the re-play it falls back to.
  if (!file.frames.empty()) writeKeyframes(keyframesPathFor(path), file, why);
}

// The recording so far, played again from its start, must end in this world:
// the way back took the replay along the same branch, and a replay or a resume
// sees what the live session saw. In a child process, where the fuzzer's own
// world can go, since Box2D's region holds one world at a time.
std::string sessionAgrees(State& state, const std::string& path, Check check, long frames,
                          std::uint64_t seed, long& tookOver) {
  const std::uint64_t digest = worldDigest(*state.world);
  std::fflush(stdout);
  const pid_t child = fork();
  if (child < 0) return "";  // no process to spare: the check is skipped, not failed
  if (child == 0) {
    state.world.reset();
    ConsoleCapture quiet;
    if (!std::freopen("/dev/null", "w", stderr)) _exit(2);  // a resume's progress
    State again;
    if (check == Check::replay) {
      std::string error;
      const std::optional<Recording> recording = readRecording(path, error);
      if (!recording) _exit(2);
      Replay replay(*recording);
      startUpWithoutWindow(again);
      History history;
      FrameInput input;
      while (again.running && replay.next(input)) history.play(again, input);
    } else {
      SessionOptions options;
      (check == Check::resume ? options.resume : options.replay) = path;
      options.quitAtEnd = true;
      options.noAutosave = true;
      std::unique_ptr<Session> session = Session::open(options);
      if (!session) _exit(2);
      if (check == Check::resume) {
        session->resume(again);
        if (std::ifstream(keyframesPathFor(path)) && !session->resumedFromKeyframe())
          _exit(kKeyframeRefused);
      } else {
        startUpWithoutWindow(again);
        const bool tookOver = playSteered(*session, again, seed, frames);
        const std::string text = session->textSoFar();
        // Steered, it still reads the clock as recorded and meets every checkpoint.
        if (session->finish(again) != 0) _exit(1);
        if (tookOver) {
          const std::uint64_t live = worldDigest(*again.world);
          session.reset();
          again.world.reset();
          _exit(replayedWorld(text) == live ? kTakenOverAgrees : kTakenOverDiffers);
        }
      }
    }
    _exit(worldDigest(*again.world) == digest ? kAgrees : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  const int ended = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (ended == kTakenOverAgrees) ++tookOver;
  if (ended == kAgrees || ended == kTakenOverAgrees) return "";
  if (ended == kKeyframeRefused) return "the keyframe kept at S was refused";
  if (ended == kTakenOverDiffers)
    return "a steered replay taken over with T and played on saves a session that replays to "
           "another world";
  switch (check) {
    case Check::replay:
      return "after going back in time, a replay of the recording so far ends in another world";
    case Check::steered:
      return "after going back in time, a steered replay of the recording so far ends in another "
             "world";
    case Check::resume: return "a resume of the session saved with S ends in another world";
  }
  return "";
}

int fuzz(const Options& o) {
  RecordingWriter writer;
  std::string error;
  if (!writer.open(o.out, error)) {
    std::fprintf(stderr, "fuzz: %s\n", error.c_str());
    return 2;
  }
  const std::string saved = o.out + ".saved";
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
  // Moves through time come about as often as S: one in four is played again
  // (a replay of the recording so far checks every move before it too), so
  // that a run takes about as long as before they were in it.
  long moves = 0;
  long checks[3] = {};  // of each kind
  long tookOver = 0;    // steered replays taken over with T
  // What it pressed, for the record: each key's presses, Backspace's holds, the moves.
  std::map<std::string, long> pressed;
  while (faults.empty() && frame < o.frames) {
    input = play.next(state);
    const bool seeks =
        o.timeMoves && play.movesInTime() &&
        play.moveInTime(input, history.summary(), history.undoTarget(), history.redoTarget());
    recorder.beginFrame();
    ++frame;
    faults = playAndCheck(state, history, input, invariants, console, o.plantFault);
    recorder.endFrame(input, *state.world);
    const bool back = input.held[key::BACKSPACE];
    pressed["Backspace held"] += back && !goingBack;
    for (const InputEvent& e : input.events) {
      if (e.kind == InputEvent::KeyPress) ++pressed[keyName(e.symbol) ? keyName(e.symbol) : "?"];
      if (e.kind == InputEvent::Seek)
        ++pressed[e.symbol == seekUndo     ? "undo"
                  : e.symbol == seekRedo   ? "redo"
                  : e.symbol == seekBranch ? "branch"
                                           : "bar"];
      if (e.kind == InputEvent::ButtonDown) ++pressed["left button"];
    }
    const bool saves = play.pressesSave();
    pressed["S"] += saves;
    if (((goingBack && !back) || (seeks && moves++ % 4 == 0)) && faults.empty()) {
      const Check check = frame % 2 ? Check::replay : Check::steered;
      ++checks[static_cast<int>(check)];
      faults = sessionAgrees(state, writer.writingTo(), check, frame,
                             o.seed + static_cast<std::uint64_t>(frame), tookOver);
    }
    goingBack = back;
    // S: the session so far, as S saves it, resumes to this world.
    if (saves && faults.empty()) {
      const std::string text = recorder.textSoFar();
      std::ofstream(saved) << text;
      // One in two resumes from a keyframe, the other re-plays the whole recording.
      std::remove(keyframesPathFor(saved).c_str());
      if (checks[static_cast<int>(Check::resume)] % 2)
        keepKeyframe(state, saved, text, recorder.frames(), history.now());
      ++checks[static_cast<int>(Check::resume)];
      faults = sessionAgrees(state, saved, Check::resume, frame, 0, tookOver);
    }
  }
  dying = {};
  recorder.finish();
  writer.close();
  std::remove(saved.c_str());
  std::remove(keyframesPathFor(saved).c_str());
  if (faults.empty()) {
    if (!o.keep) std::remove(o.out.c_str());
  } else {
    say("frame " + std::to_string(frame) + ": " + faults);
    say("the recording that reproduces it: " + o.out + " (skyhook --replay " + o.out +
        " --headless)");
  }
  std::string keys;
  for (const auto& [what, count] : pressed)
    if (count) keys += (keys.empty() ? "" : ", ") + what + " " + std::to_string(count);
  say("pressed: " + keys);
  say("played again: " + std::to_string(checks[0]) + " headless replays, " +
      std::to_string(checks[1]) + " steered replays (" + std::to_string(tookOver) +
      " taken over with T), " + std::to_string(checks[2]) + " resumes");
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
