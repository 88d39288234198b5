#include "session/history.h"

#include <malloc.h>

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "base/console_sink.h"
#include "game/body_walk.h"
#include "game/keys.h"
#include "session/play_input.h"
#include "state/state.h"

namespace {

// Snapshots the thinning leaves alone: the last ten seconds go back at full pace.
constexpr std::size_t kRecent = 10;
// Older snapshots thin out down to one in this many frames, then the oldest go.
constexpr long kWidestGap = 8 * History::kInterval;
// Going back, the ladder's rungs: a picture plays fewer frames than this again
// to get to its moment, and fills the ladder below by as many (twice, with Shift).
constexpr long kRungStep = 8;
// The ladder is filled below the walk while the walk is fewer frames than this
// above its foot: enough lead that a stretch as wide as the widest gap is filled
// before the walk gets there, even with Shift.
constexpr long kLead = 4 * History::kInterval;
// The most a picture fills when the walk would otherwise catch up with the
// filling: a picture then plays at most this and a rung's step again.
constexpr long kMostFill = 4 * kRungStep;
// A rung's step at x8, in physics steps.
constexpr long kFastSteps = 8 * kRungStep;
// Branches that stay while the budget allows the line its thinned snapshots.
constexpr std::size_t kKeptBranches = 8;
constexpr int kFastBack = 8;          // frames a picture with Shift and Backspace
constexpr int kOwnPages = 128 << 10;  // a block this large is mapped on its own
// Packings a snapshot's frame leaves going on behind it, the newest first.
constexpr std::size_t kPackingAhead = 1;

bool isShift(int symbol) { return symbol == key::LSHIFT || symbol == key::RSHIFT; }

// Frames that read or replace the kept moment, or build a new world: a
// snapshot is kept right after them, so that going back restores it rather
// than play them again, until it thins out with the older ones.
bool pressed(const FrameInput& input, int symbol) {
  for (const InputEvent& e : input.events)
    if (e.kind == InputEvent::KeyPress && e.symbol == symbol) return true;
  return false;
}

bool quits(const FrameInput& input) {
  for (const InputEvent& e : input.events)
    if (endsSession(e)) return true;
  return false;
}

bool jumpsInTime(const FrameInput& input) {
  for (const InputEvent& e : input.events)
    if (e.kind == InputEvent::KeyPress &&
        (e.symbol == key::F5 || e.symbol == key::F9 || e.symbol == key::N))
      return true;
  return false;
}

// A snapshot but for its F5 moment: its packed region as counted, its fields.
std::size_t ownBytes(const KeptSnapshot& k) {
  const StateFields& f = k.snapshot.fields;
  return sizeof k + k.packed.counted() + f.BODY.size() * sizeof(b2Body*) +
         f.posesBeforeStep.size() * 64 + f.plainCars.size() * 64;
}

// An F5 moment is shared by the snapshots taken while it was kept, one run of
// them: it counts once, with the first.
std::size_t snapshotBytes(const std::deque<KeptSnapshot>& kept, std::size_t i) {
  const KeptSnapshot& k = kept[i];
  const std::shared_ptr<const Snapshot>& moment = k.snapshot.keptMoment;
  const bool first = moment && (i == 0 || kept[i - 1].snapshot.keptMoment != moment);
  // Counted whole even once packed in place (see keep): what thins, and how
  // far back it reaches, stay as they were without the packing.
  return ownBytes(k) + (first ? sizeof *moment + moment->regionSize() : 0);
}

}  // namespace

History::History(std::size_t budget) : budget_(budget), passOn_(randomClock()) {
  setRandomClock([this] { return read(); });
  // Blocks of a snapshot's size get pages of their own, given back when freed.
  // Left to raise this threshold itself, the C library serves them from its
  // heaps once the first region copy is freed, and the snapshots that thinning
  // drops here and there leave holes that it keeps: a 13-minute replay going
  // back held 157 MiB free of 373 for a history of 224 MiB.
  mallopt(M_MMAP_THRESHOLD, kOwnPages);
}

History::~History() { setRandomClock(passOn_); }

void History::readThroughNewClock() {
  passOn_ = randomClock();
  setRandomClock([this] { return read(); });
}

std::time_t History::read() {
  const std::time_t second = passOn_();
  if (reads_ == 0 || second != last_) readings_.push_back({reads_, second});
  last_ = second;
  ++reads_;
  return second;
}

long History::oldest() const { return kept_.empty() ? now_ : kept_.front().frame; }

long History::longestGap() const {
  long widest = 0;
  for (std::size_t i = 1; i < kept_.size(); ++i)
    widest = std::max(widest, kept_[i].frame - kept_[i - 1].frame);
  return widest;
}

std::size_t History::keptBytes(std::size_t i) const { return snapshotBytes(kept_, i); }

std::size_t History::branchBytes(const Branch& b) const {
  std::size_t bytes = sizeof b + b.marks.size() * sizeof(TimeMark);
  for (const Frame& f : b.frames) bytes += frameBytes(f);
  for (std::size_t i = 0; i < b.kept.size(); ++i) bytes += snapshotBytes(b.kept, i);
  return bytes;
}

void History::drop(std::size_t i) {
  const bool next = i + 1 < kept_.size();
  bytes_ -= keptBytes(i) + (next ? keptBytes(i + 1) : 0);
  kept_.erase(kept_.begin() + static_cast<long>(i));
  if (next) bytes_ += keptBytes(i);
}

std::size_t History::frameBytes(const Frame& f) const {
  return sizeof f + f.events.size() * sizeof(InputEvent) + f.held.size() * sizeof(int) +
         f.clock.size() * sizeof(ClockReading);
}

void History::play(State& state, const FrameInput& input, BodyPainter* painter) {
  followed_ = false;
  playedAgain_ = 0;
  bool seeks = false;
  for (const InputEvent& e : input.events)
    if (e.kind == InputEvent::Seek) seek(state, e), seeks = true;
  if (seeks || input.held[key::BACKSPACE]) {
    if (quits(input)) state.running = false;
    if (seeks) return paintBodies(state, painter);
    // With Shift, eight frames a picture.
    return goBack(state, painter,
                  input.held[key::LSHIFT] || input.held[key::RSHIFT] ? kFastBack : 1);
  }
  backFrom_ = -1;
  // Time stopped by a seek is not in the moment's world: the frame stops it again.
  const bool fromHold = held_;
  if (now_ < end()) {
    if (keepsFuture_ && !changesCourse(state, input)) return followFuture(state, input, painter);
    leaveTheFuture();
  }
  // While time stands still a frame without events changes nothing: the
  // session's time stands still with it (older recordings counted them).
  if (keepsFuture_ && state.paused && state.framesToStep == 0 && input.events.empty() &&
      !state.plainCarMadeThisFrame)
    return paintBodies(state, painter);
  held_ = false;
  // Not of a stop that the moment's other course never had.
  if (snapshots_ && !fromHold && (kept_.empty() || now_ - kept_.back().frame >= kInterval))
    keep(state);
  dropLadder();  // time goes on: going back is over

  readings_.clear();
  reads_ = 0;
  playInput(state, input, painter);
  if (kept_.empty()) {  // no snapshot to play this frame again from
    firstFrame_ = ++now_;
    return;
  }

  Frame f;
  f.events = input.events;
  for (int k = 0; k < key::COUNT; ++k)
    if (input.held[k]) f.held.push_back(k);
  f.clock = readings_;
  f.course = course_;
  f.fromHold = fromHold;
  for (const InputEvent& e : input.events) {
    f.action |= isAction(e);
    if (e.kind == InputEvent::KeyPress && (e.symbol == key::F5 || e.symbol == key::N))
      marks_.push_back({now_, e.symbol == key::F5 ? TimeMark::kept : TimeMark::newWorld});
  }
  bytes_ += frameBytes(f);
  frames_.push_back(std::move(f));
  ++now_;
  if (snapshots_ && jumpsInTime(input)) {
    keep(state);
    kept_.back().pinned = true;
  }
  thin();
}

// Time runs, or P restarts it where the original had it running: the kept
// frame plays again. P while it runs stops it there, as after a seek.
bool History::changesCourse(const State& state, const FrameInput& input) const {
  for (const InputEvent& e : input.events) {
    if (e.kind == InputEvent::ButtonDown) return true;
    if (e.kind != InputEvent::KeyPress || endsSession(e) || isShift(e.symbol)) continue;
    if (e.symbol != key::P || (held_ && heldWasPaused_)) return true;
  }
  // Held keys act only while time runs.
  if (held_ || state.paused) return false;
  for (int k = 0; k < key::COUNT; ++k)
    if (input.held[k] && k != key::BACKSPACE && !isShift(k)) return true;
  return false;
}

void History::followFuture(State& state, const FrameInput& input, BodyPainter* painter) {
  if (quits(input)) state.running = false;
  const bool p = pressed(input, key::P);
  if (held_ && !p) return paintBodies(state, painter);
  if (held_) {
    state.paused = false;  // as the frames kept had it
    held_ = false;
  } else if (p) {
    heldWasPaused_ = state.paused;
    state.paused = true;
    state.framesToStep = 0;
    held_ = true;
    return paintBodies(state, painter);
  }
  dropLadder();
  playAgain(state, now_, now_ + 1, -1, -1, painter);
  ++now_;
  followed_ = true;
}

void History::stepAlong(State& state, BodyPainter* painter) {
  backFrom_ = -1;
  held_ = false;
  dropLadder();
  if (now_ >= end()) return paintBodies(state, painter);
  playAgain(state, now_, now_ + 1, -1, -1, painter);
  ++now_;
}

void History::seek(State& state, const InputEvent& e) {
  if (e.symbol == seekBranch) switchTo(state, e.y, e.x);
  else goTo(state, e.x);
}

// The nearest snapshot at or before the moment, and the frames from it again;
// time then stands still there.
void History::goTo(State& state, long target, bool hold) {
  if (kept_.empty()) return;
  target = std::clamp(target, oldest(), end());
  auto from = std::prev(std::upper_bound(kept_.begin(), kept_.end(), target,
                                         [](long f, const Kept& k) { return f < k.frame; }));
  dropLadder();
  // Close above a snapshot with a wide gap below it, Backspace would enter the
  // gap before its pictures could fill it: the seek fills the gap's foot now,
  // as much as those pictures cannot (at most the gap, which a seek near the
  // gap's top plays anyway).
  const long fewPictures = (target - from->frame) * kMostFill / 2;
  if (from != kept_.begin() && from->frame - std::prev(from)->frame > fewPictures &&
      ladderHasRoom()) {
    Kept& foot = *std::prev(from);
    const long fill = from->frame - foot.frame - fewPictures;
    const long to =
        std::min(from->frame, foot.frame + (fill + kRungStep - 1) / kRungStep * kRungStep);
    restore(state, foot);
    playAgain(state, foot.frame, to, foot.frame);
    if (to < from->frame) addRung(state, to);
  }
  restore(state, *from);
  // Rungs 8, 16, 32... frames below the moment gone to: Backspace from there
  // fills the ladder between them ahead of its walk from the first picture on.
  playAgain(state, from->frame, target, -1, target);
  ladderLow_ = rungs_.count(target - kRungStep) ? target - kRungStep : from->frame;
  lowerLadder();
  now_ = target;
  held_ = false;
  if (!hold) return;
  heldWasPaused_ = state.paused;
  state.paused = true;
  state.framesToStep = 0;
  held_ = true;
}

bool History::leadsTo(const Branch& b) const {
  if (b.from < oldest() || b.from > end()) return false;
  if (b.from == firstFrame_) return b.prefixCourse < 0 || firstFrame_ > 0;
  return frames_[static_cast<std::size_t>(b.from - 1 - firstFrame_)].course == b.prefixCourse;
}

const Branch* History::branch(int id) const {
  for (const Branch& b : branches_)
    if (b.id == id && leadsTo(b)) return &b;
  return nullptr;
}

void History::switchTo(State& state, int id, long target) {
  auto it =
      std::find_if(branches_.begin(), branches_.end(), [&](const Branch& b) { return b.id == id; });
  if (it == branches_.end() || !leadsTo(*it)) return;
  Branch chosen = std::move(*it);
  bytes_ -= chosen.bytes;
  branches_.erase(it);
  // The future it replaces is kept in its place.
  if (chosen.from < end()) {
    Branch left = cutFuture(chosen.from);
    branches_.push_back(std::move(left));
  }
  appendBranch(chosen);
  course_ = nextCourse_++;
  goTo(state, std::clamp(target, chosen.from, end()));
  thin();
}

Branch History::cutFuture(long from) {
  Branch b;
  b.id = nextBranch_++;
  b.from = from;
  if (from > firstFrame_)
    b.prefixCourse = frames_[static_cast<std::size_t>(from - 1 - firstFrame_)].course;
  countNewest();  // a branch's snapshots are counted as they leave the line
  while (!kept_.empty() && kept_.back().frame > from) {
    bytes_ -= keptBytes(kept_.size() - 1);
    b.kept.push_front(std::move(kept_.back()));
    kept_.pop_back();
  }
  while (end() > from) {
    bytes_ -= frameBytes(frames_.back());
    b.frames.push_front(std::move(frames_.back()));
    frames_.pop_back();
  }
  auto firstMoved = std::lower_bound(marks_.begin(), marks_.end(), from,
                                     [](const TimeMark& m, long f) { return m.frame < f; });
  b.marks.assign(firstMoved, marks_.end());
  marks_.erase(firstMoved, marks_.end());
  b.bytes = branchBytes(b);
  bytes_ += b.bytes;
  dropLadder();
  return b;
}

void History::appendBranch(Branch& b) {
  for (Kept& k : b.kept) {
    kept_.push_back(std::move(k));
    bytes_ += keptBytes(kept_.size() - 1);
  }
  for (Frame& f : b.frames) {
    bytes_ += frameBytes(f);
    frames_.push_back(std::move(f));
  }
  marks_.insert(marks_.end(), b.marks.begin(), b.marks.end());
}

void History::leaveTheFuture() {
  Branch b = cutFuture(now_);
  if (keepsFuture_) branches_.push_back(std::move(b));
  else bytes_ -= b.bytes;  // as older recordings were played: dropped
  course_ = nextCourse_++;
  held_ = false;
}

void History::dropBranch(std::size_t i) {
  bytes_ -= branches_[i].bytes;
  branches_.erase(branches_.begin() + static_cast<long>(i));
}

long History::undoTarget() const {
  for (long n = std::min(now_, end()) - 1; n >= oldest(); --n)
    if (frames_[static_cast<std::size_t>(n - firstFrame_)].action) return n;
  return -1;
}

long History::redoTarget() const {
  if (now_ >= end()) return -1;
  bool passed = false;  // the action at the present, which redo plays
  for (long n = now_; n < end(); ++n) {
    if (!frames_[static_cast<std::size_t>(n - firstFrame_)].action) continue;
    if (passed && n > now_) return n;
    passed = true;
  }
  return end();
}

void History::mark(TimeMark::Kind kind) {
  if (!marks_.empty() && marks_.back().frame > now_) return;  // only at the line's newest
  marks_.push_back({now_, kind});
}

TimelineSummary History::summary() const {
  TimelineSummary t;
  t.oldest = oldest();
  t.now = now_;
  t.end = end();
  for (std::size_t i = 1; i < kept_.size(); ++i)
    if (kept_[i].frame - kept_[i - 1].frame > kInterval)
      t.thinned.emplace_back(kept_[i - 1].frame, kept_[i].frame);
  t.marks = marks_;
  for (const Branch& b : branches_)
    if (leadsTo(b)) t.branches.push_back({b.id, b.from, b.end()});
  t.backBy = backFrom_ < 0 ? 0 : backFrom_ - now_;
  t.held = held_;
  return t;
}

// One picture back: the ladder below filled a little further first, then the
// moment wanted from the nearest rung, kept snapshot or the filling's front.
void History::goBack(State& state, BodyPainter* painter, long frames) {
  if (backFrom_ < 0) backFrom_ = now_;
  held_ = false;  // each picture is the world as it was, its own stopped time included
  const long target = std::max(oldest(), now_ - frames);
  if (target < now_) {
    fillLadder(state, target, frames);
    walkTo(state, target);
    now_ = target;
  }
  paintBodies(state, painter);
}

void History::walkTo(State& state, long target) {
  auto kept = std::prev(std::upper_bound(kept_.begin(), kept_.end(), target,
                                         [](long f, const Kept& k) { return f < k.frame; }));
  Kept* base = &*kept;
  auto rung = rungs_.upper_bound(target);
  if (rung != rungs_.begin() && std::prev(rung)->first > base->frame)
    base = &std::prev(rung)->second;
  long from = base->frame;
  if (stretchFrom_ >= 0 && frontierAt_ <= target && frontierAt_ > from) {
    from = frontierAt_;
    restoreSnapshot(state, frontier_);
  } else {
    restore(state, *base);
  }
  // Below the ladder (the first picture, or the walk has caught up with the
  // filling): this first pass lays the rungs.
  const bool below = ladderLow_ < 0 || target < ladderLow_;
  playAgain(state, from, target, below ? from : -1);
  if (below) {
    ladderLow_ = stretchFrom_ >= 0 && target >= stretchFrom_ ? stretchFrom_ : from;
    stretchFrom_ = frontierAt_ = -1;
  }
  // Going back, the rungs above the present are of no more use.
  for (auto it = rungs_.upper_bound(target); it != rungs_.end();) {
    ladderBytes_ -= ownBytes(it->second);
    it = rungs_.erase(it);
  }
}

History::Kept& History::momentBelow(long frame) {
  auto kept = std::prev(std::lower_bound(kept_.begin(), kept_.end(), frame,
                                         [](const Kept& k, long f) { return k.frame < f; }));
  Kept* below = &*kept;
  auto rung = rungs_.lower_bound(frame);
  if (rung != rungs_.begin() && std::prev(rung)->first > below->frame)
    below = &std::prev(rung)->second;
  return *below;
}

void History::lowerLadder() {
  while (ladderLow_ > oldest() && ladderLow_ - momentBelow(ladderLow_).frame <= kRungStep)
    ladderLow_ = momentBelow(ladderLow_).frame;
}

void History::fillLadder(State& state, long target, long frames) {
  if (ladderLow_ < 0 || !ladderHasRoom()) return;
  const long steps = state.speedShift > 0 ? 1L << state.speedShift : 1;  // a frame's, here
  if (stretchFrom_ < 0) {
    if (ladderLow_ <= oldest() || target - ladderLow_ >= kLead) return;
    Kept& foot = momentBelow(ladderLow_);  // the stretch's foot
    stretchFrom_ = frontierAt_ = foot.frame;
    restore(state, foot);
  } else {
    restoreSnapshot(state, frontier_);
  }
  // A rung's step a picture (two with Shift), enough to run ahead of the walk;
  // where time ran fast, only what the walk to the target leaves of a rung's
  // step at x8 (its steps are what a picture costs). More where the walk
  // would reach the stretch's top before: the pictures up to the one that goes
  // below it (whose filling comes first) share what is left.
  const long walk = target - momentBelow(target + 1).frame;
  const long least =
      frames > 1 ? 2 * kRungStep : std::clamp((kFastSteps - walk * steps) / steps, 1L, kRungStep);
  const long pictures = target >= ladderLow_ ? (target - ladderLow_) / frames + 2 : 1;
  const long share = (ladderLow_ - frontierAt_ + pictures - 1) / pictures;
  const long to = std::min(ladderLow_, frontierAt_ + std::clamp(share, least, kMostFill));
  playAgain(state, frontierAt_, to, stretchFrom_);
  frontierAt_ = to;
  if (to == ladderLow_) {  // the stretch is filled: the ladder reaches its foot
    ladderLow_ = stretchFrom_;
    stretchFrom_ = frontierAt_ = -1;
    lowerLadder();  // and on, where a seek filled the stretch below
    return;
  }
  if ((to - stretchFrom_) % kRungStep == 0) addRung(state, to);
  takeSnapshot(state, frontier_);
}

void History::addRung(const State& state, long frame) {
  if (rungs_.count(frame) || !ladderHasRoom()) return;
  Kept& k = rungs_.emplace(frame, Kept{frame, false, {}, {}}).first->second;
  k.snapshot.region = packer_.buffer();
  takeSnapshot(state, k.snapshot);
  packer_.pack(std::move(k.snapshot.region), k.packed);  // on the packer's thread
  k.snapshot.region = {};
  ladderBytes_ += ownBytes(k);
  uncounted_.push_back(frame);
}

bool History::ladderHasRoom() {
  for (auto it = uncounted_.begin(); it != uncounted_.end();) {
    auto rung = rungs_.find(*it);
    if (rung != rungs_.end() && !rung->second.packed.done()) {
      ++it;
      continue;
    }
    if (rung != rungs_.end()) {
      rung->second.packed.count();
      packedGuess_ = rung->second.packed.counted();
      ladderBytes_ += packedGuess_;
    }
    it = uncounted_.erase(it);
  }
  if (!packedGuess_ && !kept_.empty()) packedGuess_ = kept_.front().packed.counted();
  // Room for one more rung, and for the filling's front if it has none yet.
  const Kept* last = rungs_.empty() ? nullptr : &rungs_.begin()->second;
  const std::size_t next = packedGuess_ +
                           (last ? ownBytes(*last) - last->packed.counted() : sizeof(Kept)) +
                           (frontier_.region.empty() ? unpacked_.capacity() : std::size_t{0});
  return ladderBytes() + next <= ladderRoom_;
}

std::size_t History::ladderBytes() const {
  if (ladderLow_ < 0 && rungs_.empty()) return 0;
  // Its unpacked moments too: the filling's front, and the last one unpacked.
  return ladderBytes_ + uncounted_.size() * packedGuess_ + frontier_.region.capacity() +
         unpacked_.capacity();
}

void History::dropLadder() {
  if (ladderLow_ < 0 && rungs_.empty()) return;
  rungs_.clear();
  uncounted_.clear();
  ladderBytes_ = 0;
  ladderLow_ = stretchFrom_ = frontierAt_ = -1;
  frontier_ = Snapshot();  // with its region copy
}

void History::forgetBelow(long moment) {
  // Going back restores the snapshot at or below its moment, or fills the
  // ladder from one below the moment up to the lead under it; thinning may
  // widen the gap above that one to the widest. A snapshot is given back once
  // a kept one lies above it within that reach, and the widest gap below it.
  const long none = std::numeric_limits<long>::max();
  if (moment < oldest()) return;  // so far down, or anywhere: every snapshot may serve
  const long reach = moment == none ? none : moment - kLead;
  auto letGo = [](Kept& k) {
    if (!k.packed.letGo()) return false;
    static_cast<BodyListsPart&>(k.snapshot.fields) = {};  // uncounted, and restored only
    return true;
  };
  const auto byFrame = [](long f, const Kept& k) { return f < k.frame; };
  for (auto it = std::upper_bound(kept_.begin(), kept_.end(), forgotten_, byFrame);
       it != kept_.end(); ++it) {
    const bool last = std::next(it) == kept_.end();
    if (reach != none && (last || std::next(it)->frame > reach || it->frame > reach - kWidestGap))
      break;
    if (!letGo(*it)) break;
    forgotten_ = it->frame;
  }
  // Only a seek leads onto a branch.
  for (Branch& b : branches_)
    for (Kept& k : b.kept) letGo(k);
}

std::size_t History::heldBytes() const {
  std::size_t held = 0;
  const Snapshot* moment = nullptr;  // each F5 moment's run of snapshots holds it once
  auto add = [&](const Kept& k) {
    held += k.packed.letGone() ? 0 : k.packed.counted();
    const Snapshot* its = k.snapshot.keptMoment.get();
    if (its && its != moment) held += its->heldBytes();
    moment = its;
  };
  for (const Kept& k : kept_) add(k);
  for (const Branch& b : branches_)
    for (const Kept& k : b.kept) add(k);
  return held;
}

void History::restore(State& state, Kept& k) {
  if (!unpackedOf_.sameAs(k.packed)) {
    unpackedOf_ = PackedRegion();
    k.packed.unpackInto(unpacked_);  // waits for its packing if need be
    unpackedOf_ = k.packed;
  }
  k.snapshot.region.swap(unpacked_);
  restoreSnapshot(state, k.snapshot);
  k.snapshot.region.swap(unpacked_);
}

void History::playAgain(State& state, long from, long to, long grid, long below,
                        BodyPainter* painter) {
  // Console lines of frames played again were printed the first time.
  const ConsoleSinkScope silence([](const std::string&) {});
  const std::vector<ClockReading>* changes = nullptr;
  std::size_t next = 0;
  long reads = 0;
  std::time_t second = 0;
  setRandomClock([&] {
    if (next < changes->size() && (*changes)[next].read == reads)
      second = (*changes)[next++].second;
    ++reads;
    return second;
  });
  FrameInput again;
  for (long n = from; n < to; ++n) {
    if (grid >= 0 && n > from && (n - grid) % kRungStep == 0) addRung(state, n);
    const long steps = (below - n) / kRungStep;
    if (below >= 0 && n > from && steps > 0 && (below - n) % kRungStep == 0 &&
        !(steps & (steps - 1)))
      addRung(state, n);
    const Frame& f = frames_[static_cast<std::size_t>(n - firstFrame_)];
    if (f.fromHold) state.paused = true, state.framesToStep = 0;
    again.events = f.events;
    again.held.fill(0);
    for (int k : f.held) again.held[k] = 1;
    changes = &f.clock;
    next = 0;
    reads = 0;
    // Drawn in its own frame, as the first time: the walk's picture comes before the step.
    playInput(state, again, n + 1 == to ? painter : nullptr);
  }
  playedAgain_ += to - from;
  setRandomClock([this] { return read(); });
}

void History::keep(const State& state) {
  if (!kept_.empty() && kept_.back().frame == now_) return;
  countNewest(false);  // the frame does not wait for a packing still going on
  kept_.push_back({now_, false, {}, {}});
  Kept& k = kept_.back();
  k.snapshot.region = packer_.buffer();
  takeSnapshot(state, k.snapshot);
  packer_.pack(std::move(k.snapshot.region), k.packed);  // on the packer's thread
  k.snapshot.region = {};
  bytes_ += keptBytes(kept_.size() - 1);
  // The F5 moment of the snapshots before, once the game holds another, can
  // come back only by going back: packed, it takes about a tenth of its region.
  if (kept_.size() > 1) {
    const std::shared_ptr<const Snapshot>& before = kept_[kept_.size() - 2].snapshot.keptMoment;
    if (before && before != state.keptMoment) before->packInPlace(packer_);
  }
}

void History::countNewest(bool wait) {
  std::size_t first = kept_.size();  // the snapshots not counted yet are the newest
  while (first > 0 && !kept_[first - 1].packed.counted()) --first;
  for (std::size_t i = first; i < kept_.size(); ++i) {
    // One packing may go on behind the frame; an older one it waits for, so
    // that a packer slower than the snapshots does not gather region copies.
    // The newest stays uncounted even when its packing is over: what thins
    // must not depend on how fast the worker ran, or a replay could reach
    // back to another moment than the session it replays.
    if (!wait && i + kPackingAhead >= kept_.size()) continue;
    bytes_ -= keptBytes(i);
    kept_[i].packed.count();
    bytes_ += keptBytes(i);
  }
}

std::size_t History::bytes() {
  countNewest();
  thin();
  return bytes_;
}

void History::thin() {
  // Room is left for the ladder, so that going back fills it without thinning.
  while (bytes_ > budget_ - ladderRoom_) {
    // Branches beyond the last few go first, the one left longest ago first.
    if (branches_.size() > kKeptBranches) {
      dropBranch(0);
      continue;
    }
    // The newest few pinned snapshots stay; older ones thin like the rest (F5
    // and F9 every few frames would fill the history with them otherwise).
    std::size_t pinnedFrom = kept_.size();
    for (std::size_t seen = 0; pinnedFrom > 0 && seen < kRecent;)
      seen += kept_[--pinnedFrom].pinned;
    // The older snapshot whose going leaves the narrowest gap, while it stays narrow enough.
    std::size_t best = 0;
    long bestGap = kWidestGap + 1;
    for (std::size_t i = 1; i + kRecent < kept_.size(); ++i) {
      if (kept_[i].pinned && i >= pinnedFrom) continue;
      const long gap = kept_[i + 1].frame - kept_[i - 1].frame;
      if (gap < bestGap) best = i, bestGap = gap;
    }
    if (best) {
      drop(best);
      continue;
    }
    // Then the other branches, before the line's own oldest moments.
    if (!branches_.empty()) {
      dropBranch(0);
      continue;
    }
    if (kept_.size() <= 1) break;
    // Else the oldest goes, with the frames that only it led to.
    drop(0);
    const long first = kept_.front().frame;
    while (firstFrame_ < first) {
      bytes_ -= frameBytes(frames_.front());
      frames_.pop_front();
      ++firstFrame_;
    }
    while (!marks_.empty() && marks_.front().frame < first) marks_.erase(marks_.begin());
  }
}
