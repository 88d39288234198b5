// How long --resume takes to its first live frame, from the keyframe that the
// session kept at quit and by re-playing the whole recording
// (--no-keyframes), for rides of 1, 10 and 30 minutes: the ship scrolling on
// with a car made every ten seconds; and 1,000 cars made at one spot, ten a
// second ("cars"). Also the keyframe's size and what writing it adds to the
// quit. Headless: the window's start-up, the same either way, is left out.
//   resume_bench [MINUTES | cars]...   (default 1 10 30 cars)
// With SKYHOOK_BENCH_KEEP set, the recordings and keyframes stay, for a
// resume of the real program.

#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/console_sink.h"
#include "game/keys.h"
#include "recording/digest.h"
#include "session/keyframe_file.h"
#include "session/play_input.h"
#include "session/session.h"
#include "state/state.h"

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double kib(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_size / 1024.0 : 0;
}

FrameInput ride(long n) {
  FrameInput in;
  in.held[key::RIGHT] = 1;
  if (n % 600 == 0) in.events.push_back({InputEvent::KeyPress, key::C, 700, 300});
  return in;
}

FrameInput cars(long n) {
  FrameInput in;
  if (n % 6 == 0) in.events.push_back({InputEvent::KeyPress, key::C, 640, 300});
  return in;
}

struct Resumed {
  double seconds;
  std::uint64_t digest;
};

Resumed resume(const std::string& path, bool noKeyframes) {
  SessionOptions options;
  options.resume = path;
  options.noAutosave = true;
  options.noKeyframes = noKeyframes;
  const Clock::time_point start = Clock::now();
  const std::unique_ptr<Session> session = Session::open(options);
  State state;
  if (!session || !session->resume(state)) std::exit(1);
  return {since(start), worldDigest(*state.world)};
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<long> minutes;  // 0: the cars
  for (int i = 1; i < argc; ++i)
    minutes.push_back(std::string(argv[i]) == "cars" ? 0 : std::atol(argv[i]));
  if (minutes.empty()) minutes = {1, 10, 30, 0};
  char made[] = "/tmp/skyhook-resume-bench-XXXXXX";
  if (!mkdtemp(made)) return 1;
  const std::string folder = made;
  const ConsoleSinkScope quiet([](const std::string&) {});
  for (long m : minutes) {
    const std::string path = folder + "/ride-" + std::to_string(m) + ".rec";
    double quit = 0;
    {
      SessionOptions options;
      options.record = path;
      options.noAutosave = true;
      std::unique_ptr<Session> session = Session::open(options);
      if (!session) return 1;
      session->keepConsoleLines();
      State state;
      startUpWithoutWindow(state);
      for (long n = 1; n <= (m ? m * 3600 : 6000); ++n) {
        FrameInput in = m ? ride(n) : cars(n);
        session->play(state, in, nullptr);
      }
      const Clock::time_point start = Clock::now();
      session->finish(state);
      quit = since(start);
      session.reset();
    }
    const Resumed quick = resume(path, false);
    const Resumed full = resume(path, true);
    std::printf(m ? "%2ld min" : "1,000 cars", m);
    std::printf(
        ": recording %.0f KiB, keyframe %.0f KiB, quit with it %.2f s; resume from the "
        "keyframe %.2f s, by re-play %.1f s; %s digest\n",
        kib(path), kib(keyframesPathFor(path)), quit, quick.seconds, full.seconds,
        quick.digest == full.digest ? "same" : "DIFFERENT");
    std::fflush(stdout);
  }
  if (std::getenv("SKYHOOK_BENCH_KEEP")) std::printf("kept in %s\n", folder.c_str());
  else std::filesystem::remove_all(folder);
}
