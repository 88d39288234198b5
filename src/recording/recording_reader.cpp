#include "recording/recording_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "game/keys.h"

namespace {

// Thrown inside the parser only; parseRecording turns it into the message.
struct Refusal {
  std::string what;
};

std::vector<std::string_view> splitAtSpaces(std::string_view line) {
  std::vector<std::string_view> tokens;
  size_t start = 0;
  while (true) {
    const size_t space = line.find(' ', start);
    tokens.push_back(line.substr(start, space - start));
    if (space == std::string_view::npos) break;
    start = space + 1;
  }
  return tokens;
}

std::string quoted(std::string_view token) {
  constexpr size_t kShown = 40;
  return "'" + std::string(token.substr(0, kShown)) + (token.size() > kShown ? "...'" : "'");
}

long long number(std::string_view token, long long low, long long high, const char* field) {
  long long value = 0;
  const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (ec == std::errc::result_out_of_range ||
      (ec == std::errc() && end == token.data() + token.size() && (value < low || value > high)))
    throw Refusal{std::string(field) + " " + quoted(token) + " is out of range (" +
                  std::to_string(low) + " to " + std::to_string(high) + ")"};
  if (ec != std::errc() || end != token.data() + token.size())
    throw Refusal{std::string(field) + " " + quoted(token) + " is not a whole number"};
  return value;
}

int pointer(std::string_view token, const char* field) {
  return static_cast<int>(number(token, -kMaxPointer, kMaxPointer, field));
}

int keyOf(std::string_view token) {
  const int symbol = keySymbol(token);
  if (symbol < 0) throw Refusal{"unknown key " + quoted(token)};
  return symbol;
}

// Takes the lines one by one; the one place that knows what a line may hold.
class Parser {
 public:
  explicit Parser(Recording& recording) : r_(recording) {}

  void header(std::string_view line) {
    const auto t = splitAtSpaces(line);
    if (t[0] != kRecordingKind) throw Refusal{"not a skyhook recording"};
    // The physics identity is there from version 3 on, and may be left out.
    const bool physics = t.size() == 6 && t[4] == "physics" && !t[5].empty();
    if ((t.size() != 4 && !physics) || t[2] != "skyhook" || t[3].empty())
      throw Refusal{"the first line should read '" + headerLine() + "'"};
    const long long version = number(t[1], 1, 1000000000, "format version");
    if (version > kRecordingVersion)
      throw Refusal{"format version " + std::to_string(version) +
                    " is newer than this skyhook reads (" + std::to_string(kRecordingVersion) +
                    ")"};
    r_.version = static_cast<int>(version);
    r_.programVersion = std::string(t[3]);
    if (physics) r_.physics = std::string(t[5]);
  }

  void body(std::string_view line) {
    if (r_.ended) throw Refusal{"a line after the end line"};
    const auto t = splitAtSpaces(line);
    if (t[0] == "end") return end(t);
    if (t[0] == "check") return check(t);
    const long frame = static_cast<long>(number(t[0], 0, kMaxFrame, "frame"));
    if (!started_ && frame != 0) throw Refusal{"the start-up line (frame 0) is missing"};
    if (started_ && frame <= last_)
      throw Refusal{"frame " + std::to_string(frame) + " does not come after frame " +
                    std::to_string(last_)};
    r_.frames.push_back(
        {static_cast<std::uint32_t>(frame), static_cast<std::uint32_t>(r_.events.size()),
         static_cast<std::uint32_t>(r_.keys.size()), static_cast<std::uint32_t>(r_.clock.size())});
    const RecordedFrame& f = r_.frames.back();
    for (size_t i = 1; i < t.size();) i = item(frame, t, i);
    if (frame == 0 && (r_.clock.empty() || r_.clock.front().read != 0))
      throw Refusal{"the start-up line lacks the clock's first reading ('clock 0 SECOND')"};
    items_ += static_cast<long>(r_.events.size() - f.events + r_.keys.size() - f.keys +
                                r_.clock.size() - f.clock);
    if (items_ > kMaxItems)
      throw Refusal{"a recording holds at most " + std::to_string(kMaxItems) + " items"};
    // A frame alone only marks how far the session got: it costs nothing.
    if (t.size() == 1 && frame != 0) r_.frames.pop_back();
    started_ = true;
    last_ = frame;
  }

  void finish() {
    if (!started_) throw Refusal{"the start-up line (frame 0) is missing"};
    if (!r_.ended) r_.end = last_;
  }

  // After finish(), on the last line: the end, or the last frame, against the clock.
  void checkFramesAgainstClock() const {
    long long earliest = r_.clock.front().second, latest = earliest;
    for (const ClockReading& c : r_.clock) {
      earliest = std::min<long long>(earliest, c.second);
      latest = std::max<long long>(latest, c.second);
    }
    const long long seconds = latest - earliest;
    const long long allowed = kFramesPerClockSecond * (seconds + 1) + kFramesWithoutClock;
    if (r_.end > allowed)
      throw Refusal{std::to_string(r_.end) +
                    " frames are more than the clock readings allow: " + std::to_string(seconds) +
                    " s from the first second to the last allow " + std::to_string(allowed)};
  }

 private:
  void end(const std::vector<std::string_view>& t) {
    if (t.size() != 2) throw Refusal{"the end line should read 'end FRAMES'"};
    if (!started_) throw Refusal{"the start-up line (frame 0) is missing"};
    r_.end = static_cast<long>(number(t[1], 0, kMaxFrame, "frame count"));
    if (r_.end < last_)
      throw Refusal{"the recording ends at frame " + std::to_string(r_.end) + ", before frame " +
                    std::to_string(last_)};
    r_.ended = true;
  }

  // After the line of its frame, if it has one; it marks how far the session got too.
  void check(const std::vector<std::string_view>& t) {
    if (t.size() != 3 || t[2].size() != 8 ||
        t[2].find_first_not_of("0123456789abcdef") != std::string_view::npos)
      throw Refusal{"a checkpoint should read 'check FRAME DIGEST' (8 hexadecimal digits)"};
    if (!started_) throw Refusal{"the start-up line (frame 0) is missing"};
    const long frame = static_cast<long>(number(t[1], 1, kMaxFrame, "checkpoint frame"));
    if (frame < last_ || (!r_.checkpoints.empty() && frame <= r_.checkpoints.back().frame))
      throw Refusal{"checkpoint " + std::to_string(frame) + " comes before frame " +
                    std::to_string(last_)};
    if (++items_ > kMaxItems)
      throw Refusal{"a recording holds at most " + std::to_string(kMaxItems) + " items"};
    const std::uint32_t digest =
        static_cast<std::uint32_t>(std::stoul(std::string(t[2]), nullptr, 16));
    r_.checkpoints.push_back({static_cast<std::uint32_t>(frame), digest});
    last_ = frame;
  }

  // Reads the item at t[i] of the line of `frame`; returns the index of the next.
  size_t item(long frame, const std::vector<std::string_view>& t, size_t i) {
    const std::string_view word = t[i];
    // Events first, then the held keys' changes, then the clock's.
    const int kind = word == "down" || word == "up" ? 1 : word == "clock" ? 2 : 0;
    if (i == 1) kind_ = 0;
    if (kind < kind_) throw Refusal{"items go in this order: events, held keys, clock"};
    kind_ = kind;
    auto arguments = [&](size_t n, const char* usage) {
      if (i + n >= t.size()) throw Refusal{"'" + std::string(word) + "' needs " + usage};
    };
    if (frame == 0 && word != "clock")
      throw Refusal{"frame 0 is the start-up: it holds clock readings only, not " + quoted(word)};
    if (word == "press") {
      arguments(3, "a key and the pointer's x and y");
      InputEvent e{InputEvent::KeyPress};
      e.symbol = keyOf(t[i + 1]);
      e.x = pointer(t[i + 2], "pointer x");
      e.y = pointer(t[i + 3], "pointer y");
      r_.events.push_back(e);
      return i + 4;
    }
    if (word == "mousedown" || word == "mousemove") {
      arguments(2, "the pointer's x and y");
      InputEvent e{word == "mousedown" ? InputEvent::ButtonDown : InputEvent::Motion};
      e.x = pointer(t[i + 1], "pointer x");
      e.y = pointer(t[i + 2], "pointer y");
      r_.events.push_back(e);
      return i + 3;
    }
    if (word == "seek" || word == "undo" || word == "redo" || word == "branch") {
      const bool branch = word == "branch";
      arguments(branch ? 2 : 1, branch ? "a branch and a moment" : "a moment");
      InputEvent e{InputEvent::Seek};
      e.symbol = word == "undo"   ? seekUndo
                 : word == "redo" ? seekRedo
                 : branch         ? seekBranch
                                  : seekOnBar;
      if (branch) e.y = static_cast<int>(number(t[i + 1], 0, kMaxFrame, "branch"));
      e.x = static_cast<int>(number(t[i + (branch ? 2 : 1)], 0, kMaxFrame, "moment"));
      r_.events.push_back(e);
      return i + (branch ? 3 : 2);
    }
    if (word == "quit" || word == "mouseup" || word == "resumed") {
      r_.events.push_back({word == "quit"      ? InputEvent::Quit
                           : word == "mouseup" ? InputEvent::ButtonUp
                                               : InputEvent::Resumed});
      return i + 1;
    }
    if (word == "down" || word == "up") {
      arguments(1, "a key");
      const int symbol = keyOf(t[i + 1]);
      const bool down = word == "down";
      if (!held_[symbol] == !down)
        throw Refusal{"key " + quoted(t[i + 1]) + (down ? " is already down" : " is not down")};
      held_[symbol] = down;
      r_.keys.push_back({symbol, down});
      return i + 2;
    }
    if (word == "clock") {
      arguments(2, "the reading's number in the frame and the second");
      ClockReading c;
      c.read = static_cast<long>(number(t[i + 1], 0, kMaxClockRead, "clock reading"));
      c.second = static_cast<std::time_t>(number(t[i + 2], 0, kMaxSecond, "second"));
      if (r_.clock.size() > r_.frames.back().clock && c.read <= r_.clock.back().read)
        throw Refusal{"clock reading " + std::to_string(c.read) + " does not come after reading " +
                      std::to_string(r_.clock.back().read)};
      r_.clock.push_back(c);
      return i + 3;
    }
    throw Refusal{"unknown item " + quoted(word)};
  }

  Recording& r_;
  HeldKeys held_{};
  bool started_ = false;  // the start-up line has been read
  long last_ = 0;         // the last frame read
  long items_ = 0;
  int kind_ = 0;  // of the line's last item
};

// A byte that no line of a recording holds, or nullptr.
const char* badByte(std::string_view line, size_t& column) {
  for (column = 0; column < line.size(); ++column) {
    const unsigned char c = static_cast<unsigned char>(line[column]);
    if (c == '\r') return "a carriage return";
    if (c < 0x20 || c > 0x7e) return "a byte that is not printable ASCII";
  }
  return nullptr;
}

void checkLine(std::string_view line) {
  size_t column = 0;
  if (const char* what = badByte(line, column))
    throw Refusal{std::string(what) + " in column " + std::to_string(column + 1)};
  if (line.empty()) throw Refusal{"an empty line"};
  if (line.front() == ' ' || line.back() == ' ' || line.find("  ") != std::string_view::npos)
    throw Refusal{"items are separated by one space, with none at the ends"};
}

// Cuts the bytes into lines as they come and hands each whole line to the
// parser, so that reading holds no more than the recording and one line: an
// input that is not a recording is refused at its first bytes, an endless one
// at the bound of lines or items.
class LineReader {
 public:
  explicit LineReader(Recording& recording) : parser_(recording) {}

  void feed(std::string_view bytes) {
    while (!bytes.empty()) {
      const size_t newline = bytes.find('\n');
      if (newline == std::string_view::npos) {
        begun_.append(
            bytes.substr(0, kMaxLineLength + 1 - std::min(begun_.size(), kMaxLineLength)));
        checkBegun();
        return;
      }
      if (begun_.empty()) {
        take(bytes.substr(0, newline));
      } else {
        begun_.append(bytes.substr(0, newline));
        take(begun_);
        begun_.clear();
      }
      bytes.remove_prefix(newline + 1);
    }
  }

  void finish() {
    if (at_ == 1 && begun_.empty()) throw Refusal{"the file is empty, not a skyhook recording"};
    if (!begun_.empty()) throw Refusal{"the recording is cut off in the middle of this line"};
    parser_.finish();
    --at_;  // the last line, which holds the end or the last frame
    parser_.checkFramesAgainstClock();
  }

  long at() const { return at_; }  // the line that a refusal names

 private:
  // A line whose end has not come yet: refused as soon as it cannot become one.
  void checkBegun() {
    if (at_ == 1) {
      const std::string_view kind = kRecordingKind;
      const size_t n = std::min(begun_.size(), kind.size());
      if (begun_.compare(0, n, kind, 0, n) != 0 || (begun_.size() > n && begun_[n] != ' '))
        throw Refusal{"not a skyhook recording"};
    }
    if (begun_.size() > kMaxLineLength) tooLong();
  }

  void take(std::string_view line) {
    if (at_ == 1 && line.substr(0, line.find(' ')) != kRecordingKind)
      throw Refusal{"not a skyhook recording"};
    if (line.size() > kMaxLineLength) tooLong();
    if (at_ > kMaxLines)
      throw Refusal{"a recording holds at most " + std::to_string(kMaxLines) + " lines"};
    checkLine(line);
    if (at_ == 1) parser_.header(line);
    else parser_.body(line);
    ++at_;
  }

  [[noreturn]] static void tooLong() {
    throw Refusal{"the line is longer than " + std::to_string(kMaxLineLength) + " bytes"};
  }

  Parser parser_;
  std::string begun_;  // the line so far, when a block ended inside it
  long at_ = 1;
};

}  // namespace

std::optional<Recording> parseRecording(const std::string& text, const std::string& path,
                                        std::string& error) {
  Recording recording;
  recording.path = path;
  LineReader reader(recording);
  try {
    reader.feed(text);
    reader.finish();
  } catch (const Refusal& refusal) {
    error = path + ":" + std::to_string(reader.at()) + ": " + refusal.what;
    return std::nullopt;
  }
  return recording;
}

std::optional<Recording> readRecording(const std::string& path, std::string& error) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) {
    error = path + ": cannot read: " + std::strerror(errno);
    return std::nullopt;
  }
  struct stat info {};
  if (fstat(fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode)) {
    error = path + ": is a directory, not a recording";
    return std::nullopt;
  }
  Recording recording;
  recording.path = path;
  LineReader reader(recording);
  try {
    std::vector<char> block(65536);
    while (const size_t n = std::fread(block.data(), 1, block.size(), file.get()))
      reader.feed({block.data(), n});
    if (std::ferror(file.get())) {
      error = path + ": cannot read: " + std::strerror(errno);
      return std::nullopt;
    }
    reader.finish();
  } catch (const Refusal& refusal) {
    error = path + ":" + std::to_string(reader.at()) + ": " + refusal.what;
    return std::nullopt;
  }
  return recording;
}
