#include "state/keyframe.h"

#include <elf.h>
#include <link.h>
#include <zstd.h>

#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/random.h"
#include "base/region.h"
#include "state/snapshot.h"

namespace {

// Bounds a reader holds any moment to, so that a mangled one costs little.
constexpr std::size_t kMostDecoded = std::size_t{1} << 30;
constexpr std::uint32_t kMostModules = 16;
constexpr std::uint32_t kMostTableEntries = 4096;

// ---------------------------------------------------------------- modules

// A loaded program or library: where it was loaded, its segments and build id.
struct Module {
  std::uintptr_t bias = 0;
  std::vector<std::pair<std::uintptr_t, std::uintptr_t>> segments;  // [from, to)
  std::string id;
  std::string name;

  bool holds(std::uintptr_t address) const {
    for (const auto& [from, to] : segments)
      if (address >= from && address < to) return true;
    return false;
  }
};

std::string buildIdOf(const dl_phdr_info& info) {
  for (int i = 0; i < info.dlpi_phnum; ++i) {
    const ElfW(Phdr)& p = info.dlpi_phdr[i];
    if (p.p_type != PT_NOTE) continue;
    const auto* at = reinterpret_cast<const unsigned char*>(info.dlpi_addr + p.p_vaddr);
    const unsigned char* end = at + p.p_memsz;
    while (at + sizeof(ElfW(Nhdr)) <= end) {
      ElfW(Nhdr) note;
      std::memcpy(&note, at, sizeof note);
      const unsigned char* name = at + sizeof note;
      const unsigned char* desc = name + ((note.n_namesz + 3) & ~3u);
      at = desc + ((note.n_descsz + 3) & ~3u);
      if (at > end) break;
      if (note.n_type != NT_GNU_BUILD_ID || note.n_namesz != 4 || std::memcmp(name, "GNU", 4))
        continue;
      static const char digits[] = "0123456789abcdef";
      std::string id;
      for (std::size_t k = 0; k < note.n_descsz; ++k)
        id += {digits[desc[k] >> 4], digits[desc[k] & 15]};
      return id;
    }
  }
  return {};
}

std::vector<Module> loadedModules() {
  std::vector<Module> found;
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void* data) {
        Module m;
        m.bias = info->dlpi_addr;
        m.name = info->dlpi_name ? info->dlpi_name : "";
        for (int i = 0; i < info->dlpi_phnum; ++i) {
          const ElfW(Phdr)& p = info->dlpi_phdr[i];
          if (p.p_type == PT_LOAD)
            m.segments.emplace_back(info->dlpi_addr + p.p_vaddr,
                                    info->dlpi_addr + p.p_vaddr + p.p_memsz);
        }
        m.id = buildIdOf(*info);
        static_cast<std::vector<Module>*>(data)->push_back(std::move(m));
        return 0;
      },
      &found);
  return found;
}

const Module* moduleHolding(const std::vector<Module>& modules, std::uintptr_t address) {
  for (const Module& m : modules)
    if (m.holds(address)) return &m;
  return nullptr;
}

// ---------------------------------------------------------------- bytes

class Writer {
 public:
  std::string bytes;

  template <typename T>
  void raw(const T& value) {
    static_assert(std::is_trivially_copyable_v<T>);
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
  }
  void u64(std::uint64_t v) { raw(v); }
  void text(const std::string& s) {
    u64(s.size());
    bytes += s;
  }
  void block(const std::vector<unsigned char>& b) {
    u64(b.size());
    bytes.append(reinterpret_cast<const char*>(b.data()), b.size());
  }

  // The state's fields, each by its kind.
  template <typename T>
  void operator()(const T& value) {
    if constexpr (std::is_pointer_v<T>) u64(reinterpret_cast<std::uintptr_t>(value));
    else raw(value);
  }
  void operator()(const MadeBody& m) { (*this)(m.body), (*this)(m.made); }
  void operator()(const BodyPose& p) { raw(p); }
  template <typename T>
  void operator()(const std::vector<T>& items) {
    u64(items.size());
    for (const T& item : items) (*this)(item);
  }
  template <typename T>
  void operator()(const std::deque<T>& items) {
    u64(items.size());
    for (const T& item : items) (*this)(item);
  }
  template <typename K, typename V>
  void operator()(const std::unordered_map<K, V>& items) {
    u64(items.size());
    for (const auto& [k, v] : items) (*this)(k), (*this)(v);
  }
};

// Reads back what Writer wrote; the first thing out of bounds stops it.
class Reader {
 public:
  explicit Reader(const std::string& bytes) : at_(bytes.data()), end_(at_ + bytes.size()) {}
  bool ok() const { return ok_; }
  bool atEnd() const { return at_ == end_; }

  template <typename T>
  void raw(T& value) {
    static_assert(std::is_trivially_copyable_v<T>);
    if (!take(sizeof value)) return;
    std::memcpy(&value, at_ - sizeof value, sizeof value);
  }
  std::uint64_t u64() {
    std::uint64_t v = 0;
    raw(v);
    return v;
  }
  // A count of items of at least `least` bytes each: never more than are left.
  std::size_t count(std::size_t least) {
    const std::uint64_t n = u64();
    if (!ok_ || n > static_cast<std::uint64_t>(end_ - at_) / least) return fail(), 0;
    return static_cast<std::size_t>(n);
  }
  std::string text() {
    const std::size_t n = count(1);
    if (!take(n)) return {};
    return std::string(at_ - n, n);
  }
  void block(std::vector<unsigned char>& b) {
    const std::size_t n = count(1);
    if (!take(n)) return;
    b.assign(at_ - n, at_);
  }

  template <typename T>
  void operator()(T& value) {
    if constexpr (std::is_pointer_v<T>) value = reinterpret_cast<T>(u64());
    else raw(value);
  }
  void operator()(MadeBody& m) { (*this)(m.body), (*this)(m.made); }
  void operator()(BodyPose& p) { raw(p); }
  // Only the values the type can hold.
  void operator()(bool& b) {
    unsigned char c = 0;
    raw(c);
    if (c > 1) fail();
    b = c == 1;
  }
  void operator()(Tool& t) {
    unsigned char c = 0;
    raw(c);
    if (c > static_cast<unsigned char>(Tool::eraser)) fail();
    t = static_cast<Tool>(c);
  }
  template <typename T>
  void operator()(std::vector<T>& items) {
    items.resize(count(sizeof(std::uint64_t)));
    for (T& item : items) (*this)(item);
  }
  template <typename T>
  void operator()(std::deque<T>& items) {
    items.resize(count(sizeof(std::uint64_t)));
    for (T& item : items) (*this)(item);
  }
  template <typename K, typename V>
  void operator()(std::unordered_map<K, V>& items) {
    items.clear();
    for (std::size_t n = count(sizeof(K) + sizeof(V)); n > 0 && ok_; --n) {
      K k{};
      V v{};
      (*this)(k), (*this)(v);
      items[k] = v;
    }
  }

 private:
  bool take(std::size_t n) {
    if (!ok_ || n > static_cast<std::size_t>(end_ - at_)) return fail(), false;
    at_ += n;
    return true;
  }
  void fail() { ok_ = false; }

  const char* at_;
  const char* end_;
  bool ok_ = true;
};

// Every field of the state that the frames change, in one order for writing,
// reading and checking. A field added to the parts must be added here: on
// this platform most such fields change the state's size, which stops the
// build below until the field is written here and the size set anew.
#if defined(__x86_64__) && defined(__GLIBCXX__)
static_assert(sizeof(StateFields) == 1136,
              "the state has a new field: write it in eachField, then set this size");
#endif
template <typename Fields, typename Visit>
void eachField(Fields& f, Visit& v) {
  v(f.sky.r), v(f.sky.g), v(f.sky.b), v(f.GRAVITY);
  v(f.coefMontagne), v(f.decalage), v(f.vitesseScrolling), v(f.bordGaucheEcran), v(f.VALEUR);
  v(f.limiteDeTrucsQuiTombentDesMontagnes), v(f.firstDrawOfSecond), v(f.worldsFromSameDraw);
  v(f.seedRepeatsWithinASecond);
  v(f.ship), v(f.vitesseShipHorizontale), v(f.vitesseShipVerticale);
  v(f.car), v(f.distanceJoint), v(f.distanceJoint2), v(f.wheel), v(f.wheel12), v(f.wheel1);
  v(f.wheel2), v(f.speed), v(f.plainCars), v(f.plainCarMadeThisFrame);
  v(f.baseBras), v(f.secondBras), v(f.poignet), v(f.pouce), v(f.Index), v(f.brasGrue);
  v(f.wheelBras), v(f.wheelSecondBras), v(f.wheelPoignet), v(f.wheelPouce), v(f.wheelIndex);
  v(f.randomWalker), v(f.walkerCreated);
  for (auto& density : f.TABLEAU_DES_DENSITES) v(density);
  v(f.ground), v(f.green), v(f.blue), v(f.NB_VERTICES), v(f.BODY);
  v(f.paused), v(f.framesToStep), v(f.speedShift), v(f.slowFrames), v(f.posesBeforeStep);
  v(f.blend);
  v(f.mouseJoint), v(f.mouseGround), v(f.mouseTarget);
  v(f.columns), v(f.others), v(f.newestListed), v(f.bodiesMade);
  v(f.tool), v(f.metal), v(f.building), v(f.buildFrom), v(f.buildTo), v(f.built);
  v(f.pinAnchors), v(f.builtMark);
}

// ---------------------------------------------------------------- the world

// What a walk over a world found live, for checking the state's handles.
struct Live {
  std::unordered_set<const void*> bodies;
  std::unordered_map<const void*, b2JointType> joints;
};

template <typename T>
bool inRegion(const T* p) {
  const auto a = reinterpret_cast<std::uintptr_t>(p);
  return p && a % alignof(T) == 0 && region::contains(p) &&
         region::contains(reinterpret_cast<const char*>(p) + sizeof(T) - 1);
}

std::uintptr_t classTable(const void* object) {
  std::uintptr_t table;
  std::memcpy(&table, object, sizeof table);
  return table;
}

// The world's parts, each checked to lie in the region before it is read:
// `table` sees each shape's, contact's and joint's class table (and may
// change it), `userData` each body's user data. Bounded by the region's size.
template <typename Table, typename UserData>
bool walkWorld(b2World* world, Live& live, std::string& why, Table&& table, UserData&& userData) {
  const std::size_t most = region::capacity() / 64;
  std::size_t seen = 0;
  std::unordered_set<const void*> fixtures;
  auto bad = [&why](const char* what) {
    why = std::string("the moment's world holds ") + what + " out of place";
    return false;
  };
  if (!inRegion(world)) return bad("the world");
  for (b2Body* b = world->GetBodyList(); b; b = b->GetNext()) {
    if (!inRegion(b) || ++seen > most || !live.bodies.insert(b).second) return bad("a body");
    if (b->GetWorld() != world) return bad("a body");
    if (!userData(b->GetUserData().pointer)) return bad("a body's user data");
    for (b2Fixture* f = b->GetFixtureList(); f; f = f->GetNext()) {
      if (!inRegion(f) || ++seen > most || f->GetBody() != b || f->GetUserData().pointer)
        return bad("a fixture");
      if (!inRegion(f->GetShape()) || !table(f->GetShape())) return bad("a shape");
      fixtures.insert(f);
    }
  }
  // A joint's or contact's class table first: a checking build looks at it on every call.
  for (b2Joint* j = world->GetJointList(); j; j = j->GetNext()) {
    if (!inRegion(j) || ++seen > most || !table(j) || j->GetUserData().pointer)
      return bad("a joint");
    if (!live.bodies.count(j->GetBodyA()) || !live.bodies.count(j->GetBodyB()))
      return bad("a joint");
    live.joints.emplace(j, j->GetType());
  }
  for (b2Contact* c = world->GetContactList(); c; c = c->GetNext()) {
    if (!inRegion(c) || ++seen > most || !table(c)) return bad("a contact");
    if (!fixtures.count(c->GetFixtureA()) || !fixtures.count(c->GetFixtureB()))
      return bad("a contact");
  }
  return true;
}

b2ContactManager& contactManager(b2World* world) {
  return const_cast<b2ContactManager&>(world->GetContactManager());
}

// Where each class table (and the default contact filter) lies, by module.
struct Tables {
  std::vector<std::string> modules;  // build ids
  struct Entry {
    std::uintptr_t old;
    std::uint32_t module;
    std::uintptr_t offset;
  };
  std::vector<Entry> entries;
  std::unordered_set<std::uintptr_t> known;
};

bool note(Tables& t, const std::vector<Module>& loaded, std::uintptr_t address) {
  if (t.known.count(address)) return true;
  const Module* m = moduleHolding(loaded, address);
  if (!m || m->id.empty()) return false;
  std::uint32_t i = 0;
  while (i < t.modules.size() && t.modules[i] != m->id) ++i;
  if (i == t.modules.size()) t.modules.push_back(m->id);
  t.entries.push_back({address, i, address - m->bias});
  t.known.insert(address);
  return true;
}

// The pointers of one world that lead out of the region, noted in `t`.
bool noteWorld(b2World* world, const State& state, Tables& t, const std::vector<Module>& loaded,
               std::string& why) {
  const auto first = reinterpret_cast<std::uintptr_t>(&state);
  const auto last = first + sizeof state;
  Live live;
  const bool walked = walkWorld(
      world, live, why, [&](const void* object) { return note(t, loaded, classTable(object)); },
      [&](std::uintptr_t data) { return data == 0 || (data >= first && data < last); });
  if (!walked) return false;
  const b2ContactManager& manager = contactManager(world);
  if (manager.m_contactListener != &state.listener) {
    why = "the world's contact listener is not the state's";
    return false;
  }
  if (!note(t, loaded, reinterpret_cast<std::uintptr_t>(manager.m_contactFilter))) {
    why = "the world's contact filter lies in no known library";
    return false;
  }
  return true;
}

// The moment's own parts.
struct Moment {
  std::vector<unsigned char> region;
  b2World* world = nullptr;
  StateFields fields;
  RandomState random{};
};

// After the moment's region, written as a block.
void writeMoment(Writer& w, const b2World* world, const StateFields& fields,
                 const RandomState& random) {
  w(world);
  eachField(fields, w);
  w.raw(random);
}

void readMoment(Reader& r, Moment& m) {
  r.block(m.region);
  r(m.world);
  eachField(m.fields, r);
  r.raw(m.random);
}

// Every handle of the fields names a live body or joint of the right kind.
struct HandleCheck {
  const Live& live;
  bool ok = true;

  bool joint(const void* p, b2JointType type, bool any) {
    if (!p) return true;
    const auto it = live.joints.find(p);
    return it != live.joints.end() && (any || it->second == type);
  }
  void operator()(b2Body* p) { ok &= !p || live.bodies.count(p) > 0; }
  void operator()(const b2Body* p) { ok &= !p || live.bodies.count(p) > 0; }
  void operator()(b2Joint* p) { ok &= joint(p, e_unknownJoint, true); }
  void operator()(b2WheelJoint* p) { ok &= joint(p, e_wheelJoint, false); }
  void operator()(b2RevoluteJoint* p) { ok &= joint(p, e_revoluteJoint, false); }
  void operator()(b2MouseJoint* p) { ok &= joint(p, e_mouseJoint, false); }
  void operator()(const MadeBody& m) { (*this)(m.body); }
  template <typename T>
  void operator()(const std::vector<T>& items) {
    for (const T& item : items) (*this)(item);
  }
  template <typename T>
  void operator()(const std::deque<T>& items) {
    for (const T& item : items) (*this)(item);
  }
  template <typename V>
  void operator()(const std::unordered_map<const b2Body*, V>& items) {
    for (const auto& item : items) (*this)(item.first);
  }
  template <typename T>
  void operator()(const T&) {
    static_assert(!std::is_pointer_v<T>, "every kind of handle is checked");
  }
};

// The region's world made this process's: class tables relocated, listeners
// and user data pointed at this state; then the fields' handles checked.
bool bringIn(Moment& m, State& state, std::uintptr_t oldState,
             const std::unordered_map<std::uintptr_t, std::uintptr_t>& moved, std::string& why) {
  const auto now = reinterpret_cast<std::uintptr_t>(&state);
  Live live;
  const bool walked = walkWorld(
      m.world, live, why,
      [&](void* object) {
        const auto it = moved.find(classTable(object));
        if (it == moved.end()) return false;
        std::memcpy(object, &it->second, sizeof it->second);
        return true;
      },
      [&](std::uintptr_t& data) {
        if (data == 0) return true;
        if (data < oldState || data - oldState >= sizeof(State)) return false;
        data = data - oldState + now;
        return true;
      });
  if (!walked) return false;
  b2ContactManager& manager = contactManager(m.world);
  const auto filter = moved.find(reinterpret_cast<std::uintptr_t>(manager.m_contactFilter));
  if (filter == moved.end()) {
    why = "the moment's contact filter is unknown";
    return false;
  }
  manager.m_contactFilter = reinterpret_cast<b2ContactFilter*>(filter->second);
  m.world->SetContactListener(&state.listener);
  m.world->SetDestructionListener(&state.jointListener);
  m.world->SetDebugDraw(nullptr);
  HandleCheck check{live};
  eachField(m.fields, check);
  if (!check.ok) why = "a handle of the moment's state names no live body or joint";
  return check.ok;
}

// Box2D sets up its table of contact kinds on the first contact it makes; a
// world brought in may destroy a contact before this process has made one.
void setUpContactKinds() {
  static const bool done = [] {
    b2World scratch(b2Vec2(0, 0));
    b2BodyDef def;
    def.type = b2_dynamicBody;
    b2CircleShape circle;
    circle.m_radius = 1;
    scratch.CreateBody(&def)->CreateFixture(&circle, 1);
    scratch.CreateBody(&def)->CreateFixture(&circle, 1);
    scratch.Step(1.0f / 60, 1, 1);
    return true;
  }();
  (void)done;
}

}  // namespace

const std::string& buildIdentity() {
  static const std::string identity = [] {
    const std::vector<Module> loaded = loadedModules();
    const Module* program = moduleHolding(loaded, reinterpret_cast<std::uintptr_t>(&buildIdentity));
    std::string box2d;
    for (const Module& m : loaded)
      if (m.name.find("libbox2d") != std::string::npos) box2d = m.id;
    return "program " + (program ? program->id : std::string("?")) + " box2d " +
           std::to_string(b2_version.major) + "." + std::to_string(b2_version.minor) + "." +
           std::to_string(b2_version.revision) + " " + (box2d.empty() ? "?" : box2d);
  }();
  return identity;
}

bool encodeMoment(const State& state, std::string& out, std::string& why) {
  std::string raw;
  return momentBytes(state, raw, why) && packMoment(raw, out, why);
}

bool momentBytes(const State& state, std::string& raw, std::string& why) {
  if (!state.world || region::worlds() != 1) {
    why = "a moment needs the region to hold the state's world alone";
    return false;
  }
  const std::vector<Module> loaded = loadedModules();
  Tables tables;
  if (!noteWorld(state.world.get(), state, tables, loaded, why)) return false;
  const Snapshot* kept = state.keptMoment.get();
  std::vector<unsigned char> live;      // only to walk F5's moment in place
  std::vector<unsigned char> unpacked;  // ... when it is held packed
  const std::vector<unsigned char>* keptRegion = nullptr;
  if (kept) {
    try {
      keptRegion = &kept->wholeRegion(unpacked);
    } catch (const std::runtime_error& e) {
      why = std::string("F5's moment: ") + e.what();
      return false;
    }
    if (kept->owner != &state) {
      why = "F5's moment belongs to another state";
      return false;
    }
    // Its world can be walked only in place: in, noted, and the live one back.
    region::copyOut(live);
    region::copyIn(*keptRegion);
    const bool noted = noteWorld(kept->world, state, tables, loaded, why);
    region::copyIn(live);
    if (!noted) return false;
  }

  Writer w;
  w.bytes.swap(raw);  // its buffer again
  w.bytes.clear();
  w.u64(reinterpret_cast<std::uintptr_t>(region::start()));
  w.u64(reinterpret_cast<std::uintptr_t>(&state));
  w.u64(tables.modules.size());
  for (const std::string& id : tables.modules) w.text(id);
  w.u64(tables.entries.size());
  for (const Tables::Entry& e : tables.entries) w.u64(e.old), w.raw(e.module), w.u64(e.offset);
  w.u64(region::usedBytes());
  region::appendTo(w.bytes);
  writeMoment(w, state.world.get(), state, saveRandomState());
  w.raw(static_cast<unsigned char>(kept != nullptr));
  if (kept) w.block(*keptRegion), writeMoment(w, kept->world, kept->fields, kept->random);
  raw.swap(w.bytes);
  return true;
}

bool packMoment(const std::string& raw, std::string& out, std::string& why) {
  ZSTD_CCtx* cctx = ZSTD_createCCtx();
  ZSTD_CCtx_setParameter(cctx, ZSTD_c_compressionLevel, 1);
  ZSTD_CCtx_setParameter(cctx, ZSTD_c_checksumFlag, 1);
  out.resize(ZSTD_compressBound(raw.size()));
  const std::size_t packed = ZSTD_compress2(cctx, out.data(), out.size(), raw.data(), raw.size());
  ZSTD_freeCCtx(cctx);
  if (ZSTD_isError(packed)) {
    why = std::string("cannot compress the moment: ") + ZSTD_getErrorName(packed);
    return false;
  }
  out.resize(packed);
  return true;
}

bool decodeMoment(State& state, const std::string& bytes, std::string& why) {
  if (state.world || region::worlds() != 0) {
    why = "a moment restores only into a state without a world";
    return false;
  }
  // A frame's descriptor follows its four magic bytes; bit 2 says it ends with a checksum.
  const unsigned long long content = ZSTD_getFrameContentSize(bytes.data(), bytes.size());
  if (bytes.size() < 5 || !(static_cast<unsigned char>(bytes[4]) & 4) ||
      content == ZSTD_CONTENTSIZE_UNKNOWN || content == ZSTD_CONTENTSIZE_ERROR ||
      ZSTD_findFrameCompressedSize(bytes.data(), bytes.size()) != bytes.size()) {
    why = "the moment's bytes are not one whole compressed frame";
    return false;
  }
  if (content > kMostDecoded) {
    why = "the moment claims more than " + std::to_string(kMostDecoded >> 20) + " MiB";
    return false;
  }
  std::string raw(static_cast<std::size_t>(content), '\0');
  const std::size_t size = ZSTD_decompress(raw.data(), raw.size(), bytes.data(), bytes.size());
  if (ZSTD_isError(size) || size != raw.size()) {
    why = std::string("the moment does not decompress: ") +
          (ZSTD_isError(size) ? ZSTD_getErrorName(size) : "short");
    return false;
  }

  Reader r(raw);
  // Its pointers inside the region hold only where the region lies at the same place.
  if (r.u64() != reinterpret_cast<std::uintptr_t>(region::start())) {
    why = "Box2D's memory region lies elsewhere in this process";
    return false;
  }
  const std::uintptr_t oldState = r.u64();
  std::vector<const Module*> modules;
  const std::vector<Module> loaded = loadedModules();
  const std::size_t moduleCount = r.count(1);
  if (moduleCount > kMostModules) {
    why = "the moment names too many libraries";
    return false;
  }
  for (std::size_t n = moduleCount; n > 0 && r.ok(); --n) {
    const std::string id = r.text();
    const Module* found = nullptr;
    for (const Module& m : loaded)
      if (!id.empty() && m.id == id) found = &m;
    if (!found) {
      why = "the moment was made with a program or library that is not loaded here";
      return false;
    }
    modules.push_back(found);
  }
  std::unordered_map<std::uintptr_t, std::uintptr_t> moved;
  for (std::size_t n = r.count(20); n > 0 && r.ok(); --n) {
    const std::uintptr_t old = r.u64();
    std::uint32_t module = 0;
    r.raw(module);
    const std::uintptr_t offset = r.u64();
    if (!r.ok() || module >= modules.size() || moved.size() >= kMostTableEntries ||
        !modules[module]->holds(modules[module]->bias + offset)) {
      why = "the moment's table of classes is damaged";
      return false;
    }
    moved[old] = modules[module]->bias + offset;
  }
  auto main = std::make_unique<Moment>();
  auto kept = std::make_unique<Moment>();
  readMoment(r, *main);
  unsigned char hasKept = 0;
  r.raw(hasKept);
  if (hasKept) readMoment(r, *kept);
  if (!r.ok() || !r.atEnd() || hasKept > 1) {
    why = "the moment's fields are damaged";
    return false;
  }
  for (const Moment* m : {main.get(), kept.get()})
    if (m->region.size() > region::capacity() || (m == main.get() && m->region.empty())) {
      why = "the moment's region does not fit this one";
      return false;
    }

  setUpContactKinds();
  if (hasKept) {
    region::copyIn(kept->region);
    const bool in = bringIn(*kept, state, oldState, moved, why);
    if (in) region::copyOut(kept->region);
    if (!in) return emptyRegion(), false;
  }
  region::copyIn(main->region);
  if (!bringIn(*main, state, oldState, moved, why)) return emptyRegion(), false;

  state.world = adoptRegionWorld(main->world);
  static_cast<StateFields&>(state) = std::move(main->fields);
  restoreRandomState(main->random);
  state.keptMoment.reset();
  if (hasKept) {
    auto snapshot = std::make_shared<Snapshot>();
    snapshot->region = std::move(kept->region);
    snapshot->fields = std::move(kept->fields);
    snapshot->random = kept->random;
    snapshot->world = kept->world;
    snapshot->owner = &state;
    state.keptMoment = std::move(snapshot);
  }
  state.frameTimes.restart();
  return true;
}

void abandonMoment(State& state) {
  abandonRegionWorld(state.world);
  static_cast<StateFields&>(state) = StateFields{};
  state.keptMoment.reset();
}
