#pragma once
// A moment of the game, whole: Box2D's memory region (every body, joint,
// contact and the world itself: base/region.h), the state's own
// fields, the C library's random generator and the moment F5 had kept then.
// Restoring one makes the next frames step exactly as they stepped after it
// was taken.

#include <cstddef>
#include <memory>
#include <vector>

#include "base/random.h"
#include "state/snapshot_packer.h"
#include "state/state.h"

struct Snapshot {
  // Empty while held packed: packInPlace changes its form, not the moment.
  mutable std::vector<unsigned char> region;
  StateFields fields;
  RandomState random;
  // Shared, not copied: a later F9 reads it, so going back must bring it back.
  std::shared_ptr<const Snapshot> keptMoment;
  b2World* world = nullptr;
  const State* owner = nullptr;  // the listeners the world points at are this state's

  // F5's moment is shared, as const, by the game and by every snapshot of the
  // history taken while it was kept. Once the game holds another, only going
  // back can bring it again: the history then has its region packed in place
  // on the packer's thread, for all who share it. The moment stays the same;
  // only the form of its bytes changes. Once only; a moment being restored or
  // written whole is not packed meanwhile (everything here is the main thread's).
  void packInPlace(SnapshotPacker& packer) const;
  // The region as taken: its own bytes, or unpacked into `scratch`.
  const std::vector<unsigned char>& wholeRegion(std::vector<unsigned char>& scratch) const;
  // The region's size whole, packed or not.
  std::size_t regionSize() const { return packed_.holds() ? wholeSize_ : region.size(); }
  // What it holds now: the region's bytes, or their packed size.
  std::size_t heldBytes() const;

 private:
  friend void takeSnapshot(const State& state, Snapshot& into);  // whole again
  mutable PackedRegion packed_;
  mutable std::size_t wholeSize_ = 0;
};

// Into `into`, reusing its buffers.
void takeSnapshot(const State& state, Snapshot& into);
Snapshot takeSnapshot(const State& state);

// Sound only while the region holds this state's world alone and the
// snapshot was taken of this state; otherwise throws std::logic_error. F3's
// figures start again from the moment restored.
void restoreSnapshot(State& state, const Snapshot& snapshot);
