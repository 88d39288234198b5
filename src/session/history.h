#pragma once
// The session's way back in time. Every frame is played through here: the
// history keeps each frame's input and clock readings, and a snapshot of the
// whole game every second or so. While Backspace is held, each picture goes
// back one frame: the nearest earlier snapshot is restored and the few frames
// from it to the one wanted are played again, silently, with their own input
// and clock readings, so that going back never depends on how long the
// session is. Released, the game goes on from the picture shown and what came
// after it is dropped.
//
// A recording holds Backspace like any held key; a replay keeps the same
// history and so takes the same way back.

#include <cstddef>
#include <ctime>
#include <deque>
#include <utility>
#include <vector>

#include "base/random.h"
#include "recording/frame_input.h"
#include "recording/recording.h"
#include "state/snapshot.h"
#include "state/snapshot_packer.h"

struct State;
class BodyPainter;

class History {
 public:
  // Frames between snapshots: a picture going back costs at most this many.
  static constexpr long kInterval = 60;
  // What the snapshots and the frames' input may take; beyond it the older
  // snapshots thin out, then the oldest go.
  static constexpr std::size_t kDefaultBudget = std::size_t{256} << 20;

  // Reads the clock through the one in place now, keeping every frame's readings.
  explicit History(std::size_t budget = kDefaultBudget);
  ~History();  // puts that clock back
  // The clock under it has been replaced (a replay handed over to the
  // keyboard): reads through the one in place now, and takes its place again.
  void readThroughNewClock();
  History(const History&) = delete;
  History& operator=(const History&) = delete;

  // One frame of the session through playInput, or with Backspace held one
  // picture back (only a quit or Escape among its events still acts).
  void play(State& state, const FrameInput& input, BodyPainter* painter = nullptr);

  // Off, it keeps no snapshots, nor the frames' input to play again from them:
  // nothing can go back. For a replay whose recording never goes back, where
  // no one can press Backspace. Back on, it keeps one at the next frame.
  void keepSnapshots(bool on) { snapshots_ = on; }

  long now() const { return now_; }  // frames played on the way to this moment
  long oldest() const;               // how far back it can go
  // What it holds, the newest snapshot's packing waited for and counted.
  std::size_t bytes();
  std::size_t snapshots() const { return kept_.size(); }
  long longestGap() const;  // frames, between snapshots

 private:
  struct Frame {
    std::vector<InputEvent> events;
    std::vector<int> held;  // the symbols held: a few, of key::COUNT
    std::vector<ClockReading> clock;
  };
  struct Kept {
    long frame;           // the moment before this frame was played
    bool pinned;          // right after F5, F9 or N: thinned out only beyond the newest few
    Snapshot snapshot;    // its region packed into `packed`
    PackedRegion packed;  // zstd: a few times smaller; counted once the next is kept
  };

  void goBack(State& state, BodyPainter* painter);
  void playAgain(State& state, long from, long to);
  void forgetTheFuture();
  void keep(const State& state);
  void countNewest();
  void thin();
  void drop(std::size_t i);  // kept_[i], and what it takes
  std::size_t frameBytes(const Frame& f) const;
  std::size_t keptBytes(std::size_t i) const;
  std::time_t read();

  std::size_t budget_;
  RandomClock passOn_;  // the clock the game read before the history
  long now_ = 0;
  bool wentBack_ = false;
  long firstFrame_ = 0;       // frames_[0]'s number
  std::deque<Frame> frames_;  // each frame's input, from firstFrame_ to now_ - 1
  std::deque<Kept> kept_;     // by frame
  std::size_t bytes_ = 0;
  std::vector<unsigned char> unpacked_;  // a region copy's buffer, reused
  // While Backspace is held: unpacked moments every few frames of the interval
  // it is going back through, so that each picture plays only a few frames again.
  std::vector<std::pair<long, Snapshot>> passing_;
  std::size_t passingUsed_ = 0;
  SnapshotPacker packer_;
  bool snapshots_ = true;

  // This frame's clock readings: every change, and its first reading always,
  // so that a frame plays again without the ones before it.
  std::vector<ClockReading> readings_;
  long reads_ = 0;
  std::time_t last_ = 0;
};
