#include "state/snapshot_packer.h"

#include <zstd.h>
#include <zstd_errors.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

// Fast: a second's snapshot costs little of its 60 frames; the region's
// static bodies, empty blocks and repeated shapes pack well all the same.
constexpr int kPackLevel = 1;
// Buffers kept for the next copies: a copy is usually packed long before the
// next is taken; on a busy machine the next is taken while one is still packed.
constexpr std::size_t kSpareBuffers = 2;

}  // namespace

struct PackedRegion::Job {
  mutable std::mutex mutex;
  mutable std::condition_variable finished;
  bool done = false;
  std::string error;
  std::vector<unsigned char> region;  // until packed
  std::vector<unsigned char> packed;
  std::size_t counted = 0;
  bool letGo = false;  // its packed bytes are given back
};

const PackedRegion::Job& PackedRegion::finished() const {
  if (!job_) throw std::runtime_error("a snapshot of the history was never packed");
  std::unique_lock<std::mutex> lock(job_->mutex);
  job_->finished.wait(lock, [this] { return job_->done; });
  if (!job_->error.empty()) throw std::runtime_error(job_->error);
  return *job_;
}

std::size_t PackedRegion::counted() const { return job_ ? job_->counted : 0; }

bool PackedRegion::packing() const {
  if (!job_) return false;
  const std::lock_guard<std::mutex> lock(job_->mutex);
  return !job_->done;
}

void PackedRegion::count() {
  if (job_ && !job_->counted) job_->counted = finished().packed.size();
}

bool PackedRegion::done() const {
  if (!job_) return false;
  const std::lock_guard<std::mutex> lock(job_->mutex);
  return job_->done;
}

bool PackedRegion::letGo() {
  if (!job_ || !job_->counted) return false;
  const std::lock_guard<std::mutex> lock(job_->mutex);
  job_->letGo = true;
  std::vector<unsigned char>().swap(job_->packed);
  return true;
}

bool PackedRegion::letGone() const { return job_ && job_->letGo; }

void PackedRegion::unpackInto(std::vector<unsigned char>& into) const {
  if (letGone()) throw std::runtime_error("a snapshot of the history was let go, then restored");
  const std::vector<unsigned char>& from = finished().packed;
  const unsigned long long size = ZSTD_getFrameContentSize(from.data(), from.size());
  if (size == ZSTD_CONTENTSIZE_ERROR || size == ZSTD_CONTENTSIZE_UNKNOWN)
    throw std::runtime_error("a snapshot of the history is damaged");
  into.resize(size);
  const std::size_t n = ZSTD_decompress(into.data(), into.size(), from.data(), from.size());
  if (ZSTD_isError(n) || n != size)
    throw std::runtime_error("a snapshot of the history is damaged");
}

SnapshotPacker::SnapshotPacker() : worker_([this] { work(); }) {}

SnapshotPacker::~SnapshotPacker() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  worker_.join();
}

void SnapshotPacker::pack(std::vector<unsigned char>&& region, PackedRegion& into) {
  auto job = std::make_shared<PackedRegion::Job>();
  job->region = std::move(region);
  into.job_ = job;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(job));
  }
  wake_.notify_one();
}

std::vector<unsigned char> SnapshotPacker::buffer() {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (spare_.empty()) return {};
  std::vector<unsigned char> spare = std::move(spare_.back());
  spare_.pop_back();
  return spare;
}

void SnapshotPacker::work() {
  const std::unique_ptr<ZSTD_CCtx, size_t (*)(ZSTD_CCtx*)> context(ZSTD_createCCtx(),
                                                                   ZSTD_freeCCtx);
  std::vector<unsigned char> scratch;
  std::size_t lastPacked = 0;
  for (;;) {
    std::shared_ptr<PackedRegion::Job> job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;  // stopping, with nothing left to pack
      job = std::move(queue_.front());
      queue_.pop_front();
    }
    std::vector<unsigned char> packed;
    std::string error = "no compression context";
    if (context) {
      // Packed into the one scratch buffer, then copied at its size: a dozen
      // megabytes allocated and shrunk every second would scatter the heap. The
      // buffer is sized from the last packing, which the next hardly exceeds;
      // only when it does is the worst case's size taken.
      const std::size_t bound = ZSTD_compressBound(job->region.size());
      scratch.resize(std::min(bound, 2 * lastPacked + 65536));
      std::vector<unsigned char> worst;  // only while the scratch buffer is too small
      std::vector<unsigned char>* into = &scratch;
      std::size_t n = ZSTD_compressCCtx(context.get(), scratch.data(), scratch.size(),
                                        job->region.data(), job->region.size(), kPackLevel);
      if (ZSTD_isError(n) && ZSTD_getErrorCode(n) == ZSTD_error_dstSize_tooSmall) {
        worst.resize(bound);
        into = &worst;
        n = ZSTD_compressCCtx(context.get(), worst.data(), worst.size(), job->region.data(),
                              job->region.size(), kPackLevel);
      }
      error = ZSTD_isError(n) ? ZSTD_getErrorName(n) : "";
      if (!ZSTD_isError(n)) {
        lastPacked = n;
        packed.assign(into->begin(), into->begin() + static_cast<long>(n));
      }
    }
    std::vector<unsigned char> region = std::move(job->region);
    {
      const std::lock_guard<std::mutex> lock(job->mutex);
      if (!error.empty()) job->error = "a snapshot could not be packed: " + error;
      job->packed = std::move(packed);
      job->done = true;
    }
    job->finished.notify_all();
    const std::lock_guard<std::mutex> lock(mutex_);
    if (spare_.size() < kSpareBuffers) spare_.push_back(std::move(region));
  }
}
