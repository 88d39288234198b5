#include "session/keyframe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zstd.h>

#include <cerrno>
#include <cstring>

#include "base/whole_file.h"
#include "base/write_all.h"

namespace {

constexpr char kMagic[] = "skyhook-keyframes 2\n";
constexpr std::size_t kMagicSize = sizeof kMagic - 1;
constexpr std::uint64_t kMostIdentity = 1024;
constexpr std::uint64_t kMostKeyframes = 1024;
// What a keyframe's console lines may take once unpacked.
constexpr unsigned long long kMostConsole = 256ull << 20;

constexpr std::uint64_t kOffset = 14695981039346656037ull;
constexpr std::uint64_t kPrime = 1099511628211ull;

void mix(std::uint64_t& hash, const char* bytes, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    hash ^= static_cast<unsigned char>(bytes[i]);
    hash *= kPrime;
  }
}

// The header's fields are hashed as they go; the compressed parts carry checksums of their own.
struct Out {
  std::string bytes;
  std::uint64_t hash = kOffset;

  void u64(std::uint64_t v) {
    bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
    mix(hash, reinterpret_cast<const char*>(&v), sizeof v);
  }
  void text(const std::string& s) {
    u64(s.size());
    bytes += s;
    mix(hash, s.data(), s.size());
  }
  void blob(const std::string& s) {
    u64(s.size());
    bytes += s;
  }
};

struct In {
  const std::string& bytes;
  std::size_t at = 0;
  std::uint64_t hash = kOffset;
  bool ok = true;

  bool take(std::size_t n) {
    if (!ok || n > bytes.size() - at) return ok = false;
    at += n;
    return true;
  }
  std::uint64_t u64() {
    std::uint64_t v = 0;
    if (!take(sizeof v)) return 0;
    std::memcpy(&v, bytes.data() + at - sizeof v, sizeof v);
    mix(hash, bytes.data() + at - sizeof v, sizeof v);
    return v;
  }
  std::string text(std::uint64_t most) {
    const std::uint64_t n = u64();
    if (n > most || !take(n)) return ok = false, std::string();
    mix(hash, bytes.data() + at - n, n);
    return bytes.substr(at - n, n);
  }
  std::string blob() {
    const std::uint64_t n = u64();
    if (!take(n)) return {};
    return bytes.substr(at - n, n);
  }
};

std::string pack(const std::string& text) {
  ZSTD_CCtx* cctx = ZSTD_createCCtx();
  ZSTD_CCtx_setParameter(cctx, ZSTD_c_compressionLevel, 3);
  ZSTD_CCtx_setParameter(cctx, ZSTD_c_checksumFlag, 1);
  std::string out(ZSTD_compressBound(text.size()), '\0');
  const std::size_t size = ZSTD_compress2(cctx, out.data(), out.size(), text.data(), text.size());
  ZSTD_freeCCtx(cctx);
  out.resize(ZSTD_isError(size) ? 0 : size);
  return out;
}

bool unpack(const std::string& packed, std::string& text) {
  const unsigned long long size = ZSTD_getFrameContentSize(packed.data(), packed.size());
  if (size == ZSTD_CONTENTSIZE_UNKNOWN || size == ZSTD_CONTENTSIZE_ERROR || size > kMostConsole ||
      ZSTD_findFrameCompressedSize(packed.data(), packed.size()) != packed.size())
    return false;
  text.assign(static_cast<std::size_t>(size), '\0');
  const std::size_t got = ZSTD_decompress(text.data(), text.size(), packed.data(), packed.size());
  return !ZSTD_isError(got) && got == text.size();
}

}  // namespace

std::string keyframesPathFor(const std::string& recordingPath) {
  return recordingPath + ".keyframes";
}

std::uint64_t recordingHash(const std::string& text) {
  std::uint64_t hash = kOffset;
  mix(hash, text.data(), text.size());
  return hash;
}

bool writeKeyframes(const std::string& path, const KeyframeFile& file, std::string& error) {
  std::vector<std::string> consoles;
  std::uint64_t total = 0;
  std::size_t first = file.frames.size();
  // The newest keyframes first, as many as the cap takes.
  while (first > 0) {
    const Keyframe& k = file.frames[first - 1];
    std::string packed = pack(k.console);
    const std::uint64_t size = packed.size() + k.moment.size() + 64;
    if (packed.empty() || total + size > kMostKeyframeBytes) break;
    total += size;
    consoles.insert(consoles.begin(), std::move(packed));
    --first;
  }
  if (consoles.empty()) {
    error = "the session's last moment takes more than the keyframes' " +
            std::to_string(kMostKeyframeBytes >> 20) + " MiB";
    return false;
  }
  Out out;
  out.bytes = kMagic;
  out.text(file.identity);
  out.u64(file.recording);
  out.u64(consoles.size());
  for (std::size_t i = first; i < file.frames.size(); ++i) {
    const Keyframe& k = file.frames[i];
    out.u64(static_cast<std::uint64_t>(k.frame));
    out.u64(static_cast<std::uint64_t>(k.timeAt));
    out.u64(k.digest);
    out.u64(k.lineEnds);
    out.blob(consoles[i - first]);
    out.blob(k.moment);
  }
  const std::uint64_t hash = out.hash;
  out.bytes.append(reinterpret_cast<const char*>(&hash), sizeof hash);

  // Not flushed to the disk, unlike the recording: a keyframe lost in a crash
  // costs only the shortcut, and a reader refuses one left part-written.
  const std::string temporary = temporaryPathFor(path, std::to_string(getpid()));
  const int fd =
      open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  int why = fd < 0 ? errno : writeAll(fd, out.bytes);
  if (fd >= 0 && close(fd) != 0 && why == 0) why = errno;
  if (why == 0) why = renameIntoPlace(temporary, path, true);
  if (why == 0) return true;
  unlink(temporary.c_str());
  error = "cannot write " + path + ": " + std::strerror(why);
  return false;
}

std::optional<KeyframeFile> readKeyframes(const std::string& path, const std::string& identity,
                                          std::string& why) {
  why.clear();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT) why = "cannot read " + path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  struct stat info {};
  std::string bytes;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<std::uint64_t>(info.st_size) > kMostKeyframeBytes + 4096) {
    why = path + " is not a keyframes file of a size this program writes";
  } else {
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    for (ssize_t n = 1; got < bytes.size() && n > 0; got += static_cast<std::size_t>(n))
      if ((n = read(fd, bytes.data() + got, bytes.size() - got)) <= 0)
        n = 0, got = bytes.size() + 1;
    if (got != bytes.size()) why = "cannot read " + path + " whole";
  }
  close(fd);
  if (!why.empty()) return std::nullopt;

  KeyframeFile file;
  In in{bytes};
  if (bytes.compare(0, kMagicSize, kMagic) != 0 || !in.take(kMagicSize)) {
    // An older layout comes from another build, which would be refused anyway.
    const bool older = bytes.compare(0, kMagicSize - 2, kMagic, kMagicSize - 2) == 0;
    why = older ? "its keyframes come from another build" : path + " is not a keyframes file";
    return std::nullopt;
  }
  file.identity = in.text(kMostIdentity);
  if (in.ok && file.identity != identity) {
    why = "its keyframes come from another build";
    return std::nullopt;
  }
  file.recording = in.u64();
  const std::uint64_t count = in.u64();
  if (count > kMostKeyframes) in.ok = false;
  for (std::uint64_t i = 0; i < count && in.ok; ++i) {
    Keyframe k;
    k.frame = static_cast<long>(in.u64());
    k.timeAt = static_cast<long>(in.u64());
    k.digest = in.u64();
    const std::uint64_t lineEnds = in.u64();
    k.lineEnds = lineEnds == 1;
    const std::string console = in.blob();
    k.moment = in.blob();
    if (in.ok && !unpack(console, k.console)) in.ok = false;
    if (k.frame < 0 || k.timeAt < 0 || k.timeAt > k.frame || lineEnds > 1) in.ok = false;
    file.frames.push_back(std::move(k));
  }
  const std::uint64_t hash = in.hash;
  std::uint64_t written = 0;
  if (in.ok && in.take(sizeof written))
    std::memcpy(&written, bytes.data() + in.at - sizeof written, sizeof written);
  if (!in.ok || in.at != bytes.size() || written != hash) {
    why = "its keyframes are damaged or cut short";
    return std::nullopt;
  }
  return file;
}
