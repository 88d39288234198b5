#pragma once
// A moment of the game that another run of this same build can restore: what
// a snapshot holds (the region, the state's fields, the random generator, the
// F5 moment), written out field by field and compressed. The region lies at
// the same address in every run, so pointers inside it stay valid; those that
// lead out of it do not, and are carried by what they point at: the classes'
// tables of Box2D's shapes, contacts and joints by their offset in the library
// or program that holds them, the listeners and the bodies' user data by their
// place in the state.

#include <string>

#include "state/state.h"

// This build's identity: the program's and the physics library's build ids and
// Box2D's version. A moment restores only under the same one.
const std::string& buildIdentity();

// The state's moment, and the F5 moment it keeps. False, with why, when
// something in it cannot be carried to another process.
bool encodeMoment(const State& state, std::string& out, std::string& why);

// The same in two halves, for a frame that must not wait for the compression:
// the moment's bytes as they stand, which the frame takes itself, and their
// packing into what encodeMoment writes, which any thread may do.
bool momentBytes(const State& state, std::string& raw, std::string& why);
bool packMoment(const std::string& raw, std::string& out, std::string& why);

// Into a state without a world yet (the region empty). On success the state
// holds the moment, its world included. False, with why, for anything that
// cannot be shown sound, leaving the state without a world and the region
// empty. Never allocates more than the bytes' frame sizes allow within bounds.
bool decodeMoment(State& state, const std::string& bytes, std::string& why);

// Gives up a decoded moment without running its world's destructor: the state
// without a world, its fields and F5's moment cleared, the region empty.
void abandonMoment(State& state);
