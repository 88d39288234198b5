#pragma once
// A fingerprint of the world: FNV-1a (64 bits) over the bit patterns of every
// body's position, angle, linear and angular velocity, in the world's order.
// Two runs that step the same world print the same one.

#include <cstdint>
#include <string>

class b2World;

std::uint64_t worldDigest(const b2World& world);
// "digest " and 16 lower-case hexadecimal digits.
std::string digestLine(std::uint64_t digest);
// What decides whether this build steps a recorded world to the same bits:
// the physics library's version, the compiler and the floating-point
// instructions. One word, for the recording's header.
std::string physicsIdentity();
