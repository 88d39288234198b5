#include "session/kept_keyframes.h"

#include <algorithm>
#include <utility>

#include "recording/digest.h"
#include "state/keyframe.h"
#include "state/state.h"

KeptKeyframes::~KeptKeyframes() {
  if (packing_.valid()) packing_.wait();
}

void KeptKeyframes::take(const State& state, long frame, long timeAt, bool lineEnds,
                         std::size_t console) {
  if (frame <= 0 || frame % kEvery != 0 || !state.world) return;
  finishPacking();  // long done: a minute has passed
  std::string why;
  if (!momentBytes(state, spare_, why)) return;
  pending_.k = Keyframe{};
  pending_.k.frame = frame;
  pending_.k.timeAt = timeAt;
  pending_.k.digest = worldDigest(*state.world);
  pending_.k.lineEnds = lineEnds;
  pending_.console = console;
  raw_.swap(spare_);
  // The worker reads raw_ alone until the packing is collected.
  packing_ = std::async(std::launch::async, [this] {
    std::string packed, why;
    if (!packMoment(raw_, packed, why)) packed.clear();
    return packed;
  });
}

void KeptKeyframes::finishPacking() {
  if (!packing_.valid()) return;
  pending_.k.moment = packing_.get();
  spare_.swap(raw_);  // its buffer for the next
  if (pending_.k.moment.empty()) return;
  bytes_ += pending_.k.moment.size();
  kept_.push_back(std::move(pending_));
  thin();
}

void KeptKeyframes::carry(Keyframe k, const std::string& said) {
  if (k.console.size() > said.size() || said.compare(0, k.console.size(), k.console) != 0) return;
  if (!kept_.empty() && kept_.back().k.frame >= k.frame) return;
  Kept kept{std::move(k), 0};
  kept.console = kept.k.console.size();
  kept.k.console.clear();
  bytes_ += kept.k.moment.size();
  kept_.push_back(std::move(kept));
  thin();
}

// Within the file's cap with room for a last moment as large as the newest:
// the keyframe whose neighbours lie closest together goes, the oldest of
// equals first, so that the older ones thin out evenly.
void KeptKeyframes::thin() {
  while (!kept_.empty() && bytes_ + kept_.back().k.moment.size() > kMostKeyframeBytes) {
    std::size_t gone = 0;
    long narrowest = -1;
    for (std::size_t i = 0; i + 1 < kept_.size(); ++i) {
      const long before = i == 0 ? 0 : kept_[i - 1].k.frame;
      const long gap = kept_[i + 1].k.frame - before;
      if (narrowest < 0 || gap < narrowest) narrowest = gap, gone = i;
    }
    bytes_ -= kept_[gone].k.moment.size();
    kept_.erase(kept_.begin() + static_cast<std::ptrdiff_t>(gone));
  }
}

std::vector<Keyframe> KeptKeyframes::all(const std::string& console) {
  finishPacking();
  std::vector<Keyframe> out;
  for (const Kept& kept : kept_) {
    out.push_back(kept.k);
    out.back().console = console.substr(0, std::min(kept.console, console.size()));
  }
  return out;
}
