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

// Frames that read or replace the kept moment, or build a new world: a
// snapshot is kept right after them, so that going back restores it rather
// than play them again, until it thins out with the older ones.
bool jumpsInTime(const FrameInput& input) {
  for (const InputEvent& e : input.events)
    if (e.kind == InputEvent::KeyPress &&
        (e.symbol == key::F5 || e.symbol == key::F9 || e.symbol == key::N))
      return true;
  return false;
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

// An F5 moment is shared by the snapshots taken while it was kept, one run of
// them (going back drops what came after): it counts once, with the first.
std::size_t History::keptBytes(std::size_t i) const {
  const Kept& k = kept_[i];
  const StateFields& f = k.snapshot.fields;
  const std::shared_ptr<const Snapshot>& moment = k.snapshot.keptMoment;
  const bool first = moment && (i == 0 || kept_[i - 1].snapshot.keptMoment != moment);
  return sizeof k + k.packed.counted() + f.BODY.size() * sizeof(b2Body*) +
         f.posesBeforeStep.size() * 64 + f.plainCars.size() * 64 +
         (first ? sizeof *moment + moment->region.size() : 0);
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
  if (input.held[key::BACKSPACE]) {
    for (const InputEvent& e : input.events)
      if (e.kind == InputEvent::Quit || (e.kind == InputEvent::KeyPress && e.symbol == key::ESCAPE))
        state.running = false;
    return goBack(state, painter);
  }
  if (wentBack_) forgetTheFuture();
  if (snapshots_ && (kept_.empty() || now_ - kept_.back().frame >= kInterval)) keep(state);

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
  bytes_ += frameBytes(f);
  frames_.push_back(std::move(f));
  ++now_;
  if (snapshots_ && jumpsInTime(input)) {
    keep(state);
    kept_.back().pinned = true;
  }
  thin();
}

void History::goBack(State& state, BodyPainter* painter) {
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
    wentBack_ = true;
  }
  paintBodies(state, painter);
}

void History::playAgain(State& state, long from, long to) {
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
    again.events = f.events;
    again.held.fill(0);
    for (int k : f.held) again.held[k] = 1;
    changes = &f.clock;
    next = 0;
    reads = 0;
    playInput(state, again, nullptr);
  }
  setRandomClock([this] { return read(); });
}

void History::forgetTheFuture() {
  wentBack_ = false;
  passingUsed_ = 0;
  // Their buffers are reused; the moments F5 had kept may belong to the future dropped.
  for (auto& passed : passing_) passed.second.keptMoment.reset();
  while (!kept_.empty() && kept_.back().frame > now_) drop(kept_.size() - 1);
  while (firstFrame_ + static_cast<long>(frames_.size()) > now_) {
    bytes_ -= frameBytes(frames_.back());
    frames_.pop_back();
  }
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
  while (bytes_ > budget_ && kept_.size() > 1) {
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
    // Else the oldest goes, with the frames that only it led to.
    drop(0);
    const long first = kept_.front().frame;
    while (firstFrame_ < first) {
      bytes_ -= frameBytes(frames_.front());
      frames_.pop_front();
      ++firstFrame_;
    }
  }
}
