#pragma once
// All of Box2D's memory, from one region mapped at a fixed address. Box2D 2.4
// allocates only through b2Alloc_Default / b2Free_Default, which the library
// calls through the PLT: defining them here hands every byte of every world to
// the region. A world's moment is then a copy of the region's used part, and a
// copy back restores it with every pointer still valid: no walk over bodies and
// joints, no rebuild. The hooks carry no context, so the region is the one
// process-wide allocator for Box2D; a world is built in it like any other
// Box2D object.

#include <box2d/box2d.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace region {

// Where the region lies; tests check that the world is built inside it.
bool contains(const void* p);

// The bytes from the region's start to its highest block in use: what a
// snapshot copies. The allocator's own bookkeeping lies at its start.
std::size_t usedBytes();

// Copies the used part out, and back. A restore returns every block of the
// region, and the allocator's free lists, to what they were at the copy.
void copyOut(std::vector<unsigned char>& into);
void copyIn(const std::vector<unsigned char>& from);
// The used part appended to `out`: a buffer kept from one copy to the next
// costs no fresh pages.
void appendTo(std::string& out);

// How many worlds live in the region: a copy back is sound only when one does.
int worlds();

// Where it starts and how many bytes it can hold: a copy from another process
// is sound only at the same start, and only when it fits.
const void* start();
std::size_t capacity();

}  // namespace region

// A b2World placed in the region, and its deleter.
struct RegionWorldDelete {
  void operator()(b2World* world) const;
};
using WorldPtr = std::unique_ptr<b2World, RegionWorldDelete>;
WorldPtr makeRegionWorld(const b2Vec2& gravity);
// A world that a copy into the empty region brought back: counted as one of
// its worlds, as if made here.
WorldPtr adoptRegionWorld(b2World* world);
// Lets go of a world without running its destructor (its memory may not be
// sound), and, when no world remains, empties the region: for a copy in that
// is not kept.
void abandonRegionWorld(WorldPtr& world);
// With no world in it: the region empty again, whatever a copy in left there.
void emptyRegion();
