// The way back in time, measured headless on the game's own frames through the
// session's History: what a snapshot costs against a frame, how fast Backspace
// goes back after two minutes, what the history holds with 1,000 cars, and
// how fast a drag on the bar seeks across an 11-minute session, and Backspace
// anywhere in a long session (30 minutes at x8 with 30 cars, 40 minutes at x1).
// Prints its figures; bench/README.md keeps the log.
//   history_bench [PART...]   (default: 1 2 3; 4 and 5 are the long sessions)

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <set>
#include <vector>

#include "bodies/cars.h"
#include "game/keys.h"
#include "session/history.h"
#include "session/play_input.h"
#include "state/snapshot.h"
#include "state/state.h"
#include "support/console_capture.h"
#include "support/pinned_clock.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// This thread's own time, in ms: on a loaded machine the wall time of a
// picture also holds the time others had the core.
double cpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// A person's kind of ride: scrolling most of the time, a plain car now and
// then; or, over a pile of cars, keys that leave the cars where they are.
bool scrolling = true;
FrameInput ride(long n) {
  FrameInput in;
  if (!scrolling) {
    in.held[key::RIGHT] = n % 200 < 100;
    return in;
  }
  if (n % 300 == 7) in.events.push_back({InputEvent::KeyPress, key::C, 200 + int(n % 900), 300});
  if (n == 3) in.events.push_back({InputEvent::KeyPress, key::B, 0, 0});
  in.held[key::SPACE] = n % 600 < 450;
  return in;
}

struct Ride {
  // Medians: frames without a snapshot, and what a snapshot adds to its frame on
  // the main thread (the packing runs on the packer's thread meanwhile).
  double frameMs = 0, snapshotMs = 0;
};

// Plays `frames` frames; the frames that begin with a snapshot cost it on top.
Ride play(State& state, History& history, PinnedClock& clock, long frames, long from = 1) {
  std::vector<double> plain, kept;
  for (long n = from; n < from + frames; ++n) {
    clock.set(1700000000 + n / 60);
    const bool keeps = history.now() % History::kInterval == 0;
    const auto t = Clock::now();
    history.play(state, ride(n));
    (keeps ? kept : plain).push_back(msSince(t));
  }
  // Medians: other work on the machine moves a mean by a few outliers.
  auto median = [](std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
    return v[v.size() / 2];
  };
  return {median(plain), median(kept) - median(plain)};
}

void goBack(State& state, History& history, int pictures) {
  FrameInput back;
  back.held[key::BACKSPACE] = 1;
  std::vector<double> times;
  const auto start = Clock::now();
  for (int i = 0; i < pictures; ++i) {
    const auto t = Clock::now();
    history.play(state, back);
    times.push_back(msSince(t));
  }
  const double total = msSince(start);
  std::sort(times.begin(), times.end());
  std::printf(
      "   Backspace, %d pictures back from frame %ld: %.0f pictures/s, mean %.2f ms, "
      "median %.2f ms, worst %.2f ms (a picture's drawing comes on top)\n",
      pictures, history.now() + pictures, 1000.0 * pictures / total, total / pictures,
      times[times.size() / 2], times.back());
}

// A drag on the bar: one seek a picture, sweeping from the newest moment to
// the oldest and back, as a pointer crossing the bar's 1,254 pixels would.
void scrub(State& state, History& history, int pictures) {
  const long first = history.oldest(), last = history.end();
  std::vector<double> times;
  const auto start = Clock::now();
  for (int i = 0; i < pictures; ++i) {
    const double along = std::abs(1.0 - 2.0 * i / (pictures - 1));  // 1 to 0 to 1
    FrameInput seek;
    seek.events.push_back({InputEvent::Seek, seekOnBar,
                           static_cast<int>(first + static_cast<long>(along * (last - first)))});
    const auto t = Clock::now();
    history.play(state, seek);
    times.push_back(msSince(t));
  }
  const double total = msSince(start);
  std::sort(times.begin(), times.end());
  std::printf(
      "   drag on the bar over frames %ld to %ld, %d pictures: %.0f pictures/s, mean %.2f ms, "
      "median %.2f ms, worst %.2f ms (a picture's drawing comes on top)\n",
      first, last, pictures, 1000.0 * pictures / total, total / pictures, times[times.size() / 2],
      times.back());
}

// A long session with all 30 plain cars, at x8 (three presses of `]`) or x1:
// the ship goes right and back over them, and now and then the camera follows.
FrameInput longRide(long n, int faster) {
  FrameInput in;
  if (n == 3) in.events.push_back({InputEvent::KeyPress, key::B, 0, 0});
  if (n >= 5 && n < 5 + faster)
    in.events.push_back({InputEvent::KeyPress, key::RIGHTBRACKET, 0, 0});
  if (n >= 20 && n < 80 && n % 2 == 0)
    in.events.push_back({InputEvent::KeyPress, key::C, 150 + int(n % 30) * 35, 250});
  in.held[key::RIGHT] = n % 400 < 150;
  in.held[key::LEFT] = n % 400 >= 200 && n % 400 < 330;
  return in;
}

struct Pictures {
  std::vector<double> ms, cpu;   // wall time, and this thread's own
  long most = 0, mostSteps = 0;  // frames and physics steps played again by one picture, at most
  double seconds = 0;
  // The slowest picture: where it went to, what it played again, which hold.
  double worst = 0;
  long worstAt = 0, worstAgain = 0, worstPicture = 0;
  int hold = 0, worstHold = 0;
  long overSixteen = 0;  // pictures that played more than 16 frames again
  void print(const char* what) {
    std::vector<double> v = ms, c = cpu;
    std::sort(v.begin(), v.end());
    std::sort(c.begin(), c.end());
    std::printf(
        "   %s: %zu pictures, %.0f pictures/s, median %.2f ms, worst %.2f ms, over 100 ms: %ld; "
        "at most %ld frames (%ld steps) played again a picture\n",
        what, v.size(), v.size() / seconds, v[v.size() / 2], v.back(),
        static_cast<long>(v.end() - std::upper_bound(v.begin(), v.end(), 100.0)), most, mostSteps);
    std::printf(
        "     own time: median %.2f ms, worst %.2f ms; the worst: hold %d, picture %ld, to frame "
        "%ld, %ld frames played again; "
        "over 60 ms: %ld; more than 16 frames again: %ld pictures\n",
        c[c.size() / 2], c.back(), worstHold, worstPicture, worstAt, worstAgain,
        static_cast<long>(v.end() - std::upper_bound(v.begin(), v.end(), 60.0)), overSixteen);
  }
};

// Backspace held for that many pictures, each timed.
void holdBack(State& state, History& history, int pictures, Pictures& into) {
  FrameInput back;
  back.held[key::BACKSPACE] = 1;
  ++into.hold;
  // Each frame played again steps the world this many times (the speed is
  // set in the first frames of the session).
  const long steps = state.speedShift > 0 ? 1L << state.speedShift : 1;
  const auto start = Clock::now();
  for (int i = 0; i < pictures && history.now() > history.oldest(); ++i) {
    const auto t = Clock::now();
    const double own = cpuMs();
    history.play(state, back);
    const double ms = msSince(t);
    into.ms.push_back(ms);
    into.cpu.push_back(cpuMs() - own);
    into.most = std::max(into.most, history.playedAgain());
    into.overSixteen += history.playedAgain() > 16;
    into.mostSteps = std::max(into.mostSteps, history.playedAgain() * steps);
    if (ms > into.worst) {
      into.worst = ms;
      into.worstAt = history.now();
      into.worstAgain = history.playedAgain();
      into.worstPicture = i;
      into.worstHold = into.hold;
    }
  }
  into.seconds += msSince(start) / 1000;
}

void longSession(PinnedClock& clock, int faster, long frames, const char* title) {
  State state;
  startUpWithoutWindow(state);
  History history;
  const auto start = Clock::now();
  for (long n = 1; n <= frames; ++n) {
    clock.set(1700000000 + n / 60);
    history.play(state, longRide(n, faster));
  }
  std::printf("%s, played headless in %.0f s:\n", title, msSince(start) / 1000);
  std::printf(
      "   history: %zu snapshots, %.1f MiB, back to frame %ld, widest gap %ld frames; %d bodies; "
      "one region copy %.2f MiB\n",
      history.snapshots(), history.bytes() / 1048576.0, history.oldest(), history.longestGap(),
      state.world->GetBodyCount(), takeSnapshot(state).region.size() / 1048576.0);
  Pictures fromNewest;
  holdBack(state, history, 2000, fromNewest);
  fromNewest.print("Backspace from the newest moment");
  // Then from moments along the whole history, as after a click on the bar.
  Pictures along;
  const long first = history.oldest(), last = history.now();
  double seekMs = 0;
  long seekMost = 0;
  for (int i = 1; i <= 6; ++i) {
    FrameInput seek;
    seek.events.push_back(
        {InputEvent::Seek, seekOnBar, static_cast<int>(first + (last - first) * i / 7)});
    const auto t = Clock::now();
    history.play(state, seek);
    seekMs = std::max(seekMs, msSince(t));
    seekMost = std::max(seekMost, history.playedAgain());
    holdBack(state, history, 600, along);
  }
  along.print("Backspace from six moments along it, 600 pictures each");
  std::printf("   the six seeks themselves: worst %.2f ms, at most %ld frames played again\n",
              seekMs, seekMost);
  std::printf("   history after going back: %.1f MiB\n", history.bytes() / 1048576.0);
}

}  // namespace

int main(int argc, char** argv) {
  std::set<int> parts;
  for (int i = 1; i < argc; ++i) parts.insert(std::atoi(argv[i]));
  if (parts.empty()) parts = {1, 2, 3};
  ConsoleCapture quiet;
  PinnedClock clock(1700000000);
  if (parts.count(4))
    longSession(clock, 3, 108000, "4. 30 minutes at x8 with 30 cars (108,000 frames)");
  if (parts.count(5))
    longSession(clock, 0, 144000, "5. 40 minutes at x1 with 30 cars (144,000 frames)");
  if (parts.count(1)) {
    State state;
    startUpWithoutWindow(state);
    History history;
    const Ride r = play(state, history, clock, 7300);
    std::printf(
        "1. ride of 7,300 frames (two minutes at 60 frames/s, scrolling, a plain car every 5 "
        "s):\n");
    std::printf(
        "   frame %.3f ms; snapshot, main thread's share, %.3f ms every %ld frames (medians): %.2f "
        "%% of the frame's own time, "
        "%.3f %% of a 60 frames/s frame; %d bodies\n",
        r.frameMs, r.snapshotMs, History::kInterval,
        100 * r.snapshotMs / History::kInterval / r.frameMs,
        100 * r.snapshotMs / History::kInterval / (1000.0 / 60), state.world->GetBodyCount());
    std::printf(
        "   history: %zu snapshots, %.1f MiB, back to frame %ld; one region copy %.2f MiB\n",
        history.snapshots(), history.bytes() / 1048576.0, history.oldest(),
        takeSnapshot(state).region.size() / 1048576.0);
    goBack(state, history, 600);
  }
  if (parts.count(2)) {
    State state;
    startUpWithoutWindow(state);
    for (int i = 0; i < 1000; ++i) makeCar(state, 30 + (i % 30) * 42, 900 - (i / 30) * 46);
    scrolling = false;  // the cars stay in the window
    History history;
    const Ride r = play(state, history, clock, 7300);
    std::printf("2. 1,000 plain cars, then 7,300 frames without scrolling:\n");
    std::printf(
        "   frame %.3f ms; snapshot, main thread's share, %.3f ms (medians): %.2f %% of the "
        "frame's own time; %d bodies\n",
        r.frameMs, r.snapshotMs, 100 * r.snapshotMs / History::kInterval / r.frameMs,
        state.world->GetBodyCount());
    std::printf(
        "   history: %zu snapshots, %.1f MiB of %zu MiB, back to frame %ld, widest gap %ld "
        "frames; one region copy %.2f MiB\n",
        history.snapshots(), history.bytes() / 1048576.0, History::kDefaultBudget >> 20,
        history.oldest(), history.longestGap(), takeSnapshot(state).region.size() / 1048576.0);
    goBack(state, history, 120);
  }
  if (parts.count(3)) {
    State state;
    startUpWithoutWindow(state);
    scrolling = true;
    History history;
    play(state, history, clock, 40000);
    std::printf("3. ride of 40,000 frames (11 minutes), then a drag on the bar across it:\n");
    std::printf("   history: %zu snapshots, %.1f MiB, back to frame %ld, widest gap %ld frames\n",
                history.snapshots(), history.bytes() / 1048576.0, history.oldest(),
                history.longestGap());
    scrub(state, history, 600);
  }
  return 0;
}
