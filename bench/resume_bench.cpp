// How long --resume takes to its first live frame, from the keyframe that the
// session kept at quit and by re-playing the whole recording
// (--no-keyframes), for rides of 1, 10 and 30 minutes: the ship scrolling on
// with a car made every ten seconds; and 1,000 cars made at one spot, ten a
// second ("cars"). Also the keyframes' size (a minute's each, and the last
// moment) and what writing them adds to the quit; what a minute's keyframe
// costs the frame that takes it (that frame's time over the median of the
// minute's frames before it, and the taking alone on the final world); and
// for rides of two minutes or more a windowed replay's seek to five sixths of
// the recording, through its keyframes and playing every frame. Headless: the
// window's start-up and drawing, the same either way, are left out.
//   resume_bench [MINUTES | cars]...   (default 1 10 30 cars)
// With SKYHOOK_BENCH_KEEP set, the recordings and keyframes stay, for a
// resume of the real program.

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
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
#include "session/kept_keyframes.h"
#include "session/keyframe_file.h"
#include "session/play_input.h"
#include "session/session.h"
#include "state/keyframe.h"
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

// A windowed replay's seek from its start to `moment`: seconds, and the digest there.
Resumed seek(const std::string& path, long moment, bool noKeyframes) {
  SessionOptions options;
  options.replay = path;
  options.noKeyframes = noKeyframes;
  const std::unique_ptr<Session> session = Session::open(options);
  if (!session) std::exit(1);
  session->keepConsoleLines();
  State state;
  startUpWithoutWindow(state);
  FrameInput in;
  in.events.push_back({InputEvent::Seek, seekOnBar, static_cast<int>(moment), 0});
  const Clock::time_point start = Clock::now();
  session->play(state, in, nullptr);
  return {since(start), worldDigest(*state.world)};
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
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
    std::vector<double> extra;  // a minute frame's time over the minute's median, ms
    double take = 0, takeCold = 0;
    {
      SessionOptions options;
      options.record = path;
      options.noAutosave = true;
      std::unique_ptr<Session> session = Session::open(options);
      if (!session) return 1;
      session->keepConsoleLines();
      State state;
      startUpWithoutWindow(state);
      std::vector<double> minute;
      for (long n = 1; n <= (m ? m * 3600 : 6000); ++n) {
        FrameInput in = m ? ride(n) : cars(n);
        const Clock::time_point frame = Clock::now();
        session->play(state, in, nullptr);
        const double ms = since(frame) * 1000;
        if (n % KeptKeyframes::kEvery == 0) extra.push_back(ms - median(minute)), minute.clear();
        else minute.push_back(ms);
      }
      {
        KeptKeyframes alone;
        std::vector<double> times;
        for (int i = 0; i < 6; ++i) {
          alone.all({});  // the last one packed, as it is a minute later
          const Clock::time_point start = Clock::now();
          alone.take(state, KeptKeyframes::kEvery * (i + 1), 0, true, 0);
          times.push_back(since(start) * 1000);
        }
        takeCold = times[0];
        take = median({times.begin() + 1, times.end()});
      }
      const Clock::time_point start = Clock::now();
      session->finish(state);
      quit = since(start);
      session.reset();
    }
    std::string why;
    const std::optional<KeyframeFile> file =
        readKeyframes(keyframesPathFor(path), buildIdentity(), why);
    std::size_t largest = 0;
    for (const Keyframe& k : file ? file->frames : std::vector<Keyframe>{})
      largest = std::max(largest, k.moment.size());
    const Resumed quick = resume(path, false);
    const Resumed full = resume(path, true);
    std::printf(m ? "%2ld min" : "1,000 cars", m);
    std::printf(
        ": recording %.0f KiB, %zu keyframes %.0f KiB (largest %.0f KiB), quit with them %.2f s; "
        "resume from the keyframe %.2f s, by re-play %.1f s; %s digest\n",
        kib(path), file ? file->frames.size() : 0, kib(keyframesPathFor(path)), largest / 1024.0,
        quit, quick.seconds, full.seconds, quick.digest == full.digest ? "same" : "DIFFERENT");
    std::printf(
        "   a minute's keyframe: the frame %.2f ms over the minute's median (worst %.2f ms, "
        "%zu minutes); taking it alone %.2f ms (%.2f ms the first time)\n",
        median(extra), extra.empty() ? 0 : *std::max_element(extra.begin(), extra.end()),
        extra.size(), take, takeCold);
    if (m >= 2) {
      const long moment = m * 3600 * 5 / 6;
      const Resumed through = seek(path, moment, false);
      const Resumed played = seek(path, moment, true);
      std::printf(
          "   windowed seek to %ld:%02ld: through a keyframe %.2f s, playing every frame %.1f s; "
          "%s digest\n",
          moment / 3600, moment / 60 % 60, through.seconds, played.seconds,
          through.digest == played.digest ? "same" : "DIFFERENT");
    }
    std::fflush(stdout);
  }
  if (std::getenv("SKYHOOK_BENCH_KEEP")) std::printf("kept in %s\n", folder.c_str());
  else std::filesystem::remove_all(folder);
}
