#include "session/history.h"

#include <algorithm>
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
// Going back, a moment is kept every this many frames of the interval passed.
constexpr long kPassingStep = 10;
// Branches that stay while the budget allows the line its thinned snapshots.
constexpr std::size_t kKeptBranches = 8;
constexpr int kFastBack = 8;  // frames a picture with Shift and Backspace

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

// An F5 moment is shared by the snapshots taken while it was kept, one run of
// them: it counts once, with the first.
std::size_t snapshotBytes(const std::deque<KeptSnapshot>& kept, std::size_t i) {
  const KeptSnapshot& k = kept[i];
  const StateFields& f = k.snapshot.fields;
  const std::shared_ptr<const Snapshot>& moment = k.snapshot.keptMoment;
  const bool first = moment && (i == 0 || kept[i - 1].snapshot.keptMoment != moment);
  return sizeof k + k.packed.counted() + f.BODY.size() * sizeof(b2Body*) +
         f.posesBeforeStep.size() * 64 + f.plainCars.size() * 64 +
         (first ? sizeof *moment + moment->region.size() : 0);
}

}  // namespace

History::History(std::size_t budget) : budget_(budget), passOn_(randomClock()) {
  setRandomClock([this] { return read(); });
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
  bool seeks = false;
  for (const InputEvent& e : input.events)
    if (e.kind == InputEvent::Seek) seek(state, e), seeks = true;
  if (seeks || input.held[key::BACKSPACE]) {
    if (quits(input)) state.running = false;
    if (seeks) return paintBodies(state, painter);
    // With Shift, eight frames a picture; only the last is drawn.
    if (input.held[key::LSHIFT] || input.held[key::RSHIFT])
      for (int i = 1; i < kFastBack; ++i) goBack(state, nullptr);
    return goBack(state, painter);
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
  playAgain(state, now_, now_ + 1, painter);
  ++now_;
  followed_ = true;
}

void History::stepAlong(State& state, BodyPainter* painter) {
  backFrom_ = -1;
  held_ = false;
  if (now_ >= end()) return paintBodies(state, painter);
  playAgain(state, now_, now_ + 1, painter);
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
  forgetPassing();
  from->packed.unpackInto(unpacked_);  // waits for its packing if need be
  from->snapshot.region.swap(unpacked_);
  restoreSnapshot(state, from->snapshot);
  from->snapshot.region.swap(unpacked_);
  playAgain(state, from->frame, target);
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
  forgetPassing();
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

void History::forgetPassing() {
  passingUsed_ = 0;
  // Their buffers are reused; the moments F5 had kept may belong to a future left.
  for (auto& passed : passing_) passed.second.keptMoment.reset();
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

void History::goBack(State& state, BodyPainter* painter) {
  if (backFrom_ < 0) backFrom_ = now_;
  held_ = false;  // each picture is the world as it was, its own stopped time included
  if (now_ > oldest()) {
    const long target = now_ - 1;
    auto from = std::prev(std::upper_bound(kept_.begin(), kept_.end(), target,
                                           [](long f, const Kept& k) { return f < k.frame; }));
    // The nearest moment passed on the way into this interval, or its snapshot.
    long start = from->frame;
    const Snapshot* nearest = nullptr;
    for (std::size_t i = 0; i < passingUsed_; ++i)
      if (passing_[i].first <= target && passing_[i].first > start)
        start = passing_[i].first, nearest = &passing_[i].second;
    if (nearest) {
      restoreSnapshot(state, *nearest);
    } else {
      from->packed.unpackInto(unpacked_);  // waits for its packing if need be
      from->snapshot.region.swap(unpacked_);
      restoreSnapshot(state, from->snapshot);
      from->snapshot.region.swap(unpacked_);
      passingUsed_ = 0;
    }
    playAgain(state, start, target);
    now_ = target;
  }
  paintBodies(state, painter);
}

void History::playAgain(State& state, long from, long to, BodyPainter* painter) {
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
    // Every few frames of a first pass, a moment to come back to for the next pictures.
    if (n > from && n % kPassingStep == 0 && passingUsed_ < kInterval / kPassingStep) {
      if (passingUsed_ == passing_.size()) passing_.emplace_back();
      passing_[passingUsed_].first = n;
      takeSnapshot(state, passing_[passingUsed_++].second);
    }
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
  setRandomClock([this] { return read(); });
}

void History::keep(const State& state) {
  if (!kept_.empty() && kept_.back().frame == now_) return;
  countNewest();  // it has had its packing's time
  kept_.push_back({now_, false, {}, {}});
  Kept& k = kept_.back();
  k.snapshot.region = packer_.buffer();
  takeSnapshot(state, k.snapshot);
  packer_.pack(std::move(k.snapshot.region), k.packed);  // on the packer's thread
  k.snapshot.region = {};
  bytes_ += keptBytes(kept_.size() - 1);
}

void History::countNewest() {
  if (kept_.empty()) return;
  bytes_ -= keptBytes(kept_.size() - 1);
  kept_.back().packed.count();
  bytes_ += keptBytes(kept_.size() - 1);
}

std::size_t History::bytes() {
  countNewest();
  thin();
  return bytes_;
}

void History::thin() {
  while (bytes_ > budget_) {
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
