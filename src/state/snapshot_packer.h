#pragma once
// Packs snapshots' region copies with zstd on a worker thread, so that the
// frame that takes a snapshot pays only for the copy. One compression
// context, kept for the worker's life.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// A region copy packed, or still being packed.
class PackedRegion {
 public:
  // What it takes, as counted: 0 until count().
  std::size_t counted() const;
  // Waits for the packing, and from then on counts its packed size.
  void count();
  // Whether it was given a region to pack.
  bool holds() const { return job_ != nullptr; }
  // Whether the packing is over, without waiting for it.
  bool done() const;
  // Whether it is still being packed (false without a packing); does not wait.
  bool packing() const;
  // The same packing: what one unpacked holds the other's moment.
  bool sameAs(const PackedRegion& other) const { return job_ && job_ == other.job_; }
  // Waits for the packing if it is still going on. Throws std::runtime_error
  // when the packing failed or the packed bytes are damaged or let go.
  void unpackInto(std::vector<unsigned char>& into) const;
  // Gives the packed bytes back, once counted, still counting their size: for
  // a moment that nothing will restore. False while it has not been counted.
  bool letGo();
  bool letGone() const;

 private:
  friend class SnapshotPacker;
  struct Job;
  const Job& finished() const;
  std::shared_ptr<Job> job_;
};

class SnapshotPacker {
 public:
  SnapshotPacker();
  ~SnapshotPacker();  // finishes what it was given
  SnapshotPacker(const SnapshotPacker&) = delete;
  SnapshotPacker& operator=(const SnapshotPacker&) = delete;

  // Takes the region copy over and packs it into `into` on the worker.
  void pack(std::vector<unsigned char>&& region, PackedRegion& into);
  // A buffer for the next region copy: one that a finished packing gave back,
  // whose pages are already the process's.
  std::vector<unsigned char> buffer();

 private:
  void work();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::shared_ptr<PackedRegion::Job>> queue_;
  std::vector<std::vector<unsigned char>> spare_;
  bool stopping_ = false;
  std::thread worker_;  // last: starts once the rest is ready
};
