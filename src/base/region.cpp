#include "base/region.h"

#include <sanitizer/asan_interface.h>  // the poisoning macros; no-ops without AddressSanitizer
#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Clear of the program, its heap, the libraries, the stack and
// AddressSanitizer's own ranges; the same in every run, so a moment's pointers
// mean the same thing in another process too. Reserved, not committed: only
// the pages in use cost memory.
constexpr std::uintptr_t kFixedAddress = 0x4b0000000000;
constexpr std::size_t kMostReserved = std::size_t{4} << 30;
// Under a limit on the address space (ulimit -v) the region takes what fits.
constexpr std::size_t kLeastReserved = std::size_t{64} << 20;
std::size_t reserved = 0;
constexpr int kSmallestClass = 4;  // 16 bytes, malloc's alignment
constexpr int kClasses = 33;

constexpr std::uint32_t kInUse = 0x55534544;
constexpr std::uint32_t kFree = 0x46524545;

// Before every block. A block's size is a power of two, so that a freed block
// serves any later request of its class: Box2D's own block allocator asks for
// few sizes (its 16 KiB chunks, the trees' and buffers' doublings).
struct BlockHeader {
  std::uint32_t sizeClass;
  std::uint32_t state;
  union {
    BlockHeader* nextFree;  // free
    std::size_t requested;  // in use: what Box2D asked for, the rest stays poisoned
  };
};
static_assert(sizeof(BlockHeader) == 16, "blocks stay 16-byte aligned");
static_assert(alignof(b2World) <= 16, "the world fits a block's alignment");

// At the region's start, so that a copy of the used part carries it.
struct Bookkeeping {
  std::size_t top;  // offset of the first byte never handed out
  std::size_t liveBlocks;
  BlockHeader* freeLists[kClasses];
};
constexpr std::size_t kFirstBlock = (sizeof(Bookkeeping) + 15) / 16 * 16;

int worldCount = 0;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "skyhook: Box2D's memory region: %s\n", what);
  std::exit(1);
}

void* mapAt(std::size_t size) {
  const int flags = MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE;
  void* p = mmap(reinterpret_cast<void*>(kFixedAddress), size, PROT_READ | PROT_WRITE,
                 flags | MAP_FIXED_NOREPLACE, -1, 0);
  if (p != MAP_FAILED && p != reinterpret_cast<void*>(kFixedAddress)) {
    munmap(p, size);  // a kernel that predates the flag took it as a hint
    p = MAP_FAILED;
  }
  // Elsewhere, moments still restore within this process.
  if (p == MAP_FAILED) p = mmap(nullptr, size, PROT_READ | PROT_WRITE, flags, -1, 0);
  return p;
}

unsigned char* mapRegion() {
  void* p = MAP_FAILED;
  for (reserved = kMostReserved; p == MAP_FAILED && reserved >= kLeastReserved; reserved /= 2)
    p = mapAt(reserved);
  reserved *= 2;
  if (p == MAP_FAILED) fail(std::strerror(errno));
  auto* base = static_cast<unsigned char*>(p);
  new (base) Bookkeeping{kFirstBlock, 0, {}};
  return base;
}

unsigned char* base() {
  static unsigned char* const mapped = mapRegion();
  return mapped;
}

Bookkeeping& book() { return *reinterpret_cast<Bookkeeping*>(base()); }

std::size_t classSize(std::uint32_t sizeClass) { return std::size_t{1} << sizeClass; }

std::uint32_t classFor(std::size_t size) {
  std::uint32_t c = kSmallestClass;
  while (classSize(c) < size) ++c;
  if (c >= kClasses) fail("a request larger than the region");
  return c;
}

// The header last: it is read here.
void poisonBlock(BlockHeader* h) {
  auto* body = reinterpret_cast<unsigned char*>(h + 1);
  const std::size_t size = classSize(h->sizeClass);
  const std::size_t used = h->state == kFree ? 0 : h->requested;
  ASAN_UNPOISON_MEMORY_REGION(body, used);
  ASAN_POISON_MEMORY_REGION(body + used, size - used);
  ASAN_POISON_MEMORY_REGION(h, sizeof *h);
}

// After the used part was read or written whole: the blocks' shadow again.
void repoison() {
#if defined(__SANITIZE_ADDRESS__)
  for (std::size_t at = kFirstBlock; at < book().top;) {
    auto* h = reinterpret_cast<BlockHeader*>(base() + at);
    at += sizeof *h + classSize(h->sizeClass);
    poisonBlock(h);
  }
#endif
}

void* allocate(std::size_t size) {
  Bookkeeping& b = book();
  const std::uint32_t c = classFor(std::max<std::size_t>(size, 1));
  BlockHeader* h = b.freeLists[c];
  if (h) {
    ASAN_UNPOISON_MEMORY_REGION(h, sizeof *h);
    b.freeLists[c] = h->nextFree;
  } else {
    const std::size_t total = sizeof *h + classSize(c);
    if (b.top + total > reserved) fail("full; the world has grown past the address space it has");
    h = reinterpret_cast<BlockHeader*>(base() + b.top);
    b.top += total;
    ASAN_UNPOISON_MEMORY_REGION(h, sizeof *h);  // poisoned in an earlier life of the region
    h->sizeClass = c;
  }
  h->state = kInUse;
  h->requested = size;
  ++b.liveBlocks;
  poisonBlock(h);
  return h + 1;
}

void release(void* p) {
  if (!p) return;
  if (!region::contains(p)) fail("a block freed that it never gave");
  BlockHeader* h = static_cast<BlockHeader*>(p) - 1;
  ASAN_UNPOISON_MEMORY_REGION(h, sizeof *h);
  if (h->state != kInUse) fail("a block freed twice");
  Bookkeeping& b = book();
  h->state = kFree;
  h->nextFree = b.freeLists[h->sizeClass];
  b.freeLists[h->sizeClass] = h;
  poisonBlock(h);
  // Empty again: the next world starts from the region's start, so that a
  // fresh world's used part is as small as it can be.
  if (--b.liveBlocks == 0) b = Bookkeeping{kFirstBlock, 0, {}};
}

}  // namespace

// Box2D's allocation hooks: the library calls these in place of its own.
void* b2Alloc_Default(int32 size) { return allocate(static_cast<std::size_t>(size)); }
void b2Free_Default(void* mem) { release(mem); }

namespace region {

bool contains(const void* p) {
  const auto* c = static_cast<const unsigned char*>(p);
  return c >= base() && c < base() + reserved;
}

std::size_t usedBytes() { return book().top; }

void copyOut(std::vector<unsigned char>& into) {
  const std::size_t used = book().top;
  ASAN_UNPOISON_MEMORY_REGION(base(), used);
  into.assign(base(), base() + used);
  repoison();
}

void appendTo(std::string& out) {
  const std::size_t used = book().top;
  ASAN_UNPOISON_MEMORY_REGION(base(), used);
  out.append(reinterpret_cast<const char*>(base()), used);
  repoison();
}

void copyIn(const std::vector<unsigned char>& from) {
  ASAN_UNPOISON_MEMORY_REGION(base(), std::max(book().top, from.size()));
  std::memcpy(base(), from.data(), from.size());
  repoison();
}

int worlds() { return worldCount; }

const void* start() { return base(); }

std::size_t capacity() {
  base();  // mapped on first use, which sets its size
  return reserved;
}

}  // namespace region

void RegionWorldDelete::operator()(b2World* world) const {
  world->~b2World();
  release(world);
  --worldCount;
}

WorldPtr makeRegionWorld(const b2Vec2& gravity) {
  void* place = allocate(sizeof(b2World));
  ++worldCount;
  return WorldPtr(new (place) b2World(gravity));
}

WorldPtr adoptRegionWorld(b2World* world) {
  ++worldCount;
  return WorldPtr(world);
}

void abandonRegionWorld(WorldPtr& world) {
  if (world.release()) --worldCount;
  if (worldCount == 0) emptyRegion();
}

void emptyRegion() {
  if (worldCount != 0) fail("emptied while a world lives in it");
  ASAN_UNPOISON_MEMORY_REGION(base(), kFirstBlock);
  book() = Bookkeeping{kFirstBlock, 0, {}};
}
