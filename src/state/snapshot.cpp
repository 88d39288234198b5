#include "state/snapshot.h"

#include <stdexcept>
#include <utility>

#include "base/region.h"

void takeSnapshot(const State& state, Snapshot& into) {
  if (region::worlds() != 1)
    throw std::logic_error("a snapshot needs the region to hold one world");
  region::copyOut(into.region);
  into.packed_ = PackedRegion();
  into.wholeSize_ = 0;
  into.fields = state;
  into.random = saveRandomState();
  into.keptMoment = state.keptMoment;
  into.world = state.world.get();
  into.owner = &state;
}

Snapshot takeSnapshot(const State& state) {
  Snapshot snapshot;
  takeSnapshot(state, snapshot);
  return snapshot;
}

void restoreSnapshot(State& state, const Snapshot& snapshot) {
  if (snapshot.owner != &state || region::worlds() != 1)
    throw std::logic_error("a snapshot restores only into its own state, while its world is alone");
  std::vector<unsigned char> unpacked;  // only for a moment held packed
  const std::vector<unsigned char>& region = snapshot.wholeRegion(unpacked);
  // The world in place now is overwritten, not destroyed: all of its memory is
  // the region's, which the copy gives back as it was.
  (void)state.world.release();
  region::copyIn(region);
  static_cast<StateFields&>(state) = snapshot.fields;
  restoreRandomState(snapshot.random);
  state.keptMoment = snapshot.keptMoment;
  state.world.reset(snapshot.world);
  state.frameTimes.restart();
}

void Snapshot::packInPlace(SnapshotPacker& packer) const {
  if (packed_.holds() || region.empty()) return;
  wholeSize_ = region.size();
  packer.pack(std::move(region), packed_);
  region = {};
}

const std::vector<unsigned char>& Snapshot::wholeRegion(std::vector<unsigned char>& scratch) const {
  if (!packed_.holds()) return region;
  packed_.unpackInto(scratch);  // waits for its packing if need be
  return scratch;
}

std::size_t Snapshot::heldBytes() const {
  if (!packed_.holds()) return region.capacity();
  packed_.count();
  return packed_.counted();
}
