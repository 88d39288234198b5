#include "recording/digest.h"

#include <box2d/box2d.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr std::uint64_t kOffset = 14695981039346656037ull;
constexpr std::uint64_t kPrime = 1099511628211ull;

// Byte by byte from the lowest, so the digest does not depend on byte order.
void mix(std::uint64_t& hash, float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int i = 0; i < 4; ++i) {
    hash ^= (bits >> (8 * i)) & 0xFF;
    hash *= kPrime;
  }
}

}  // namespace

std::uint64_t worldDigest(const b2World& world) {
  std::uint64_t hash = kOffset;
  for (const b2Body* b = world.GetBodyList(); b; b = b->GetNext()) {
    const b2Vec2 p = b->GetPosition(), v = b->GetLinearVelocity();
    for (float value : {p.x, p.y, b->GetAngle(), v.x, v.y, b->GetAngularVelocity()})
      mix(hash, value);
  }
  return hash;
}

std::string digestLine(std::uint64_t digest) {
  char text[32];
  std::snprintf(text, sizeof text, "digest %016llx", static_cast<unsigned long long>(digest));
  return text;
}
