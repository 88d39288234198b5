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

std::string physicsIdentity() {
  char text[96];
  std::snprintf(text, sizeof text, "box2d-%d.%d.%d/%s-%d.%d/%s%s", b2_version.major,
                b2_version.minor, b2_version.revision,
#if defined(__clang__)
                "clang", __clang_major__, __clang_minor__,
#elif defined(__GNUC__)
                "gcc", __GNUC__, __GNUC_MINOR__,
#else
                "cc", 0, 0,
#endif
#if defined(__x86_64__)
                "x86_64",
#elif defined(__aarch64__)
                "aarch64",
#else
                "other",
#endif
#if defined(__FMA__)
                "+fma"
#else
                ""
#endif
  );
  return text;
}
