#pragma once
// The session's way back in time. Every frame is played through here: the
// history keeps each frame's input and clock readings, and a snapshot of the
// whole game every second or so. While Backspace is held, each picture goes
// back one frame: the nearest earlier snapshot is restored and the few frames
// from it to the one wanted are played again, silently, with their own input
// and clock readings, so that going back never depends on how long the
// session is.
//
// What came after the present stays, as the line's future: frames played on
// with no change of course follow it again from its own input, exactly, and a
// seek (the bar, `,` and `.`, undo, redo) moves along it. A change of course (a
// game key, a held key while time runs, a press of the left button) keeps
// the future as a branch and plays on from the present; switching to a branch
// makes it the line and keeps the future it replaces as another. After a seek
// time stands still at the moment gone to, as if P had stopped it; P goes on
// along the future.
//
// A recording holds Backspace like any held key, and the seeks as events with
// the moment each went to; a replay keeps the same history and so takes the
// same ways. Recordings written before the seeks existed drop the future at
// the first frame played after going back, as they were recorded.

#include <algorithm>
#include <cstddef>
#include <ctime>
#include <deque>
#include <map>
#include <utility>
#include <vector>

#include "base/random.h"
#include "recording/frame_input.h"
#include "recording/recording.h"
#include "session/timeline.h"
#include "state/snapshot.h"

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
  // picture back, or a seek (only a quit or Escape among the rest of its
  // events still acts).
  void play(State& state, const FrameInput& input, BodyPainter* painter = nullptr);

  // A windowed replay's own seek: to that moment of the line, exactly as it
  // was there; time is not held unless asked, the replay's frames play on from it.
  void steerTo(State& state, long target, bool hold = false) { goTo(state, target, hold); }
  // The line's next frame again, exactly as kept, drawn as it was the first
  // time: a windowed replay going over what it had played, back to where it was.
  void stepAlong(State& state, BodyPainter* painter);

  // False for a recording written before the seeks: the future goes at once.
  void keepFuture(bool keep) { keepsFuture_ = keep; }
  // Off, it keeps no snapshots, nor the frames' input to play again from them:
  // nothing can go back. For a replay whose recording never goes back, where
  // no one can press Backspace. Back on, it keeps one at the next frame.
  void keepSnapshots(bool on) { snapshots_ = on; }
  bool keepsSnapshots() const { return snapshots_; }
  // From now on only Backspace takes it back (no seek, no branch), and never
  // below `moment`: a headless replay knows its recording's every way back.
  // The snapshots that nothing can then restore give their bytes back, still
  // counted at their size, so that it thins, and reaches back, as it would
  // with them. A restore of one throws.
  void forgetBelow(long moment);
  // What its snapshots hold now, packed, those given back left out, and the
  // F5 moments they share as each is held.
  std::size_t heldBytes() const;
  bool keepsFuture() const { return keepsFuture_; }

  // A resume that restored the game at the moment `moment` of a line played
  // without snapshots: from there, as if it had played up to it.
  void resumeAt(long moment) { now_ = firstFrame_ = moment; }
  // What the ladder may take of the budget while going back (see goBack); the
  // rest holds the snapshots and frames. An eighth unless set.
  void setLadderRoom(std::size_t bytes) { ladderRoom_ = std::min(bytes, budget_); }
  std::size_t ladderBytes() const;  // what it holds now, as counted

  // The last frame played again from the kept future, not from its input.
  bool followedFuture() const { return followed_; }
  // Frames the last play() played again, silently, to get where it went.
  long playedAgain() const { return playedAgain_; }
  long now() const { return now_; }  // frames played on the way to this moment
  long oldest() const;               // how far back it can go
  // What it holds, the newest snapshot's packing waited for and counted.
  std::size_t bytes();
  std::size_t snapshots() const { return kept_.size(); }
  long longestGap() const;  // frames, between snapshots

  // The line's newest moment; from now() to it, its future.
  long end() const { return firstFrame_ + static_cast<long>(frames_.size()); }
  // Where Ctrl+Z and Ctrl+Y go: before the last action, and along the future
  // to before the next action after the one there (or its end); -1: nowhere.
  long undoTarget() const;
  long redoTarget() const;
  // A branch the line still leads to, or null.
  const Branch* branch(int id) const;
  std::size_t branchCount() const { return branches_.size(); }
  // Marks something the session did at this moment (S, a resume, a take-over).
  void mark(TimeMark::Kind kind);
  TimelineSummary summary() const;

 private:
  using Frame = PlayedFrame;
  using Kept = KeptSnapshot;

  void goBack(State& state, BodyPainter* painter, long frames);
  // From `from` to `to`; with a grid, a rung of the ladder before each frame on
  // it; with `below`, one 8, 16, 32... frames below that frame. The last frame
  // is drawn with painter.
  void playAgain(State& state, long from, long to, long grid = -1, long below = -1,
                 BodyPainter* painter = nullptr);
  void restore(State& state, Kept& k);  // unpacked once, then from unpacked_
  // The ladder, going back: moments every few frames below the present, so that
  // a picture plays only a few frames again. Entering a wide gap would play
  // all of it at once; instead the stretch below the walk is filled ahead of
  // it, a few frames a picture, each played once.
  void fillLadder(State& state, long target, long frames);
  Kept& momentBelow(long frame);  // the nearest snapshot or rung below it
  void lowerLadder();             // ladderLow_ down over moments a step apart
  void walkTo(State& state, long target);
  void addRung(const State& state, long frame);
  bool ladderHasRoom();
  void dropLadder();
  // Seeks: to a moment of the line, or onto a branch at one of its moments.
  void seek(State& state, const InputEvent& e);
  void goTo(State& state, long target, bool hold = true);
  void switchTo(State& state, int id, long target);
  // The line's frames from now_ on become a branch.
  void leaveTheFuture();
  Branch cutFuture(long from);
  void appendBranch(Branch& b);
  // A frame played on while the line has a future: false when it follows it.
  bool changesCourse(const State& state, const FrameInput& input) const;
  void followFuture(State& state, const FrameInput& input, BodyPainter* painter);
  void dropBranch(std::size_t i);
  bool leadsTo(const Branch& b) const;
  void keep(const State& state);
  // Counts the newest snapshots' packed sizes; `wait` for packings still going on.
  void countNewest(bool wait = true);
  void thin();
  void drop(std::size_t i);  // kept_[i], and what it takes
  std::size_t frameBytes(const Frame& f) const;
  std::size_t keptBytes(std::size_t i) const;
  std::size_t branchBytes(const Branch& b) const;
  std::time_t read();

  std::size_t budget_;
  std::size_t ladderRoom_ = budget_ / 8;
  RandomClock passOn_;  // the clock the game read before the history
  long now_ = 0;
  bool keepsFuture_ = true;
  long firstFrame_ = 0;       // frames_[0]'s number
  std::deque<Frame> frames_;  // each frame's input, from firstFrame_ to end() - 1
  std::deque<Kept> kept_;     // by frame

  std::vector<TimeMark> marks_;  // of the line, by frame
  // Each run of frames played live after a change of course is a course of its
  // own: a branch parted after frame F of course C still parts from the line
  // while the line's frame F is C's.
  long course_ = 0, nextCourse_ = 1;
  std::deque<Branch> branches_;  // the one left longest ago first
  int nextBranch_ = 1;
  bool followed_ = false;
  long playedAgain_ = 0;
  bool held_ = false;           // time stands still at a moment a seek went to
  bool heldWasPaused_ = false;  // ... where the game had stopped it itself
  long backFrom_ = -1;          // where the Backspace held now began
  std::size_t bytes_ = 0;
  std::vector<unsigned char> unpacked_;  // a region copy's buffer, reused
  PackedRegion unpackedOf_;              // ... holding this one's moment
  SnapshotPacker packer_;

  std::map<long, Kept> rungs_;  // the ladder's moments, packed, by frame
  // From here up to the present the ladder's moments (rungs and snapshots)
  // are at most a rung's step apart; -1: no ladder.
  long ladderLow_ = -1;
  // The stretch being filled below ladderLow_, from the moment at its foot: its
  // frames are played up to frontierAt_, the world there kept in frontier_.
  long stretchFrom_ = -1, frontierAt_ = -1;
  Snapshot frontier_;
  std::size_t ladderBytes_ = 0;  // its rungs as counted: packed, once packed
  std::vector<long> uncounted_;  // rungs still being packed
  std::size_t packedGuess_ = 0;  // ... each counted as the last one packed
  bool snapshots_ = true;
  long forgotten_ = -1;  // the snapshots up to this frame are given back

  // This frame's clock readings: every change, and its first reading always,
  // so that a frame plays again without the ones before it.
  std::vector<ClockReading> readings_;
  long reads_ = 0;
  std::time_t last_ = 0;
};
