#pragma once
// Keyframes kept beside a saved recording, in a file of its own (the
// recording's path and ".keyframes"), so that the recording's text stays
// exactly what every reader of recordings reads, and a program that knows
// nothing of keyframes never meets one. Each is the whole game after one frame
// (state/keyframe.h), the world's digest there, and the console lines said up
// to it: a resume from it says them as a full re-play would. The file names
// the build that wrote it and the recording it belongs to; a reader refuses
// it at once for another build or recording, and holds it to fixed bounds.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Keyframe {
  long frame = 0;   // the recording's frames played up to it
  long timeAt = 0;  // the history's moment there
  std::uint64_t digest = 0;
  // The history held no future beyond it and no seek held time there: a
  // history begun afresh at it plays the recording's next frames as the
  // session's own did, so a replay may seek through it.
  bool lineEnds = false;
  std::string console;  // every console line said up to it, each with its line end
  std::string moment;   // the game, as encodeMoment wrote it
};

struct KeyframeFile {
  std::string identity;          // buildIdentity() of the program that wrote it
  std::uint64_t recording = 0;   // recordingHash() of the recording's text
  std::vector<Keyframe> frames;  // by frame
};

// What a file of keyframes may take; a writer leaves out the older ones beyond it.
constexpr std::uint64_t kMostKeyframeBytes = std::uint64_t{32} << 20;

std::string keyframesPathFor(const std::string& recordingPath);
// A fingerprint of a recording's text, byte for byte.
std::uint64_t recordingHash(const std::string& text);

// Written whole under a temporary name, then renamed over the old one. False,
// with error, when it could not be.
bool writeKeyframes(const std::string& path, const KeyframeFile& file, std::string& error);

// The file, or nullopt: with `why` empty when there is none, else saying why it
// was refused. Refused before anything else is read when its build is not
// `identity`.
std::optional<KeyframeFile> readKeyframes(const std::string& path, const std::string& identity,
                                          std::string& why);
