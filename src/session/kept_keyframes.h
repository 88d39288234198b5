#pragma once
// The keyframes a session keeps as it plays, one at every minute of its
// recording, for its saves to write beside the recording with its last
// moment. The frame that takes one pays only for the moment's bytes; their
// packing runs on a worker. Beyond the keyframes file's cap the older ones
// thin out, so that what is kept stays within it.

#include <cstddef>
#include <deque>
#include <future>
#include <string>
#include <vector>

#include "session/keyframe_file.h"

struct State;

class KeptKeyframes {
 public:
  // Frames of the recording between two keyframes: a minute of play.
  static constexpr long kEvery = 3600;

  KeptKeyframes() = default;
  KeptKeyframes(const KeptKeyframes&) = delete;
  KeptKeyframes& operator=(const KeptKeyframes&) = delete;
  ~KeptKeyframes();  // waits for a packing still going on

  // After the recording's frame `frame`, at the history's moment `timeAt`,
  // with `console` bytes of console lines said so far: the state's moment,
  // when the frame is a minute's. Nothing is kept of a moment that cannot be.
  void take(const State& state, long frame, long timeAt, bool lineEnds, std::size_t console);
  // A keyframe of the recording this session goes on from, at or before the
  // frame it goes on from: kept when its console lines begin those said so far.
  void carry(Keyframe k, const std::string& said);

  // Those kept, oldest first, with their console lines cut from `console`
  // (every line said so far), the packing still going on waited for.
  std::vector<Keyframe> all(const std::string& console);
  std::size_t count() const { return kept_.size(); }
  // What they take, as counted: their packed moments.
  std::size_t bytes() const { return bytes_; }

 private:
  struct Kept {
    Keyframe k;  // its console left empty
    std::size_t console = 0;
  };
  void finishPacking();
  void thin();

  std::deque<Kept> kept_;  // by frame
  std::size_t bytes_ = 0;
  Kept pending_;                      // the newest, while its moment is packed
  std::future<std::string> packing_;  // ... into this
  std::string raw_;                   // its bytes, which the worker reads
  std::string spare_;                 // a buffer for the next
};
