#include "session/recording_reader.h"

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

class Parser {
 public:
  explicit Parser(Recording& recording) : r_(recording) {}

  void header(std::string_view line) {
    const auto t = splitAtSpaces(line);
    if (t[0] != kRecordingKind) throw Refusal{"not a skyhook recording"};
    if (t.size() != 4 || t[2] != "skyhook" || t[3].empty())
      throw Refusal{"the first line should read '" + headerLine() + "'"};
    const long long version = number(t[1], 1, 1000000000, "format version");
    if (version > kRecordingVersion)
      throw Refusal{"format version " + std::to_string(version) +
                    " is newer than this skyhook reads (" + std::to_string(kRecordingVersion) +
                    ")"};
    r_.programVersion = std::string(t[3]);
  }

  void body(std::string_view line) {
    if (r_.ended) throw Refusal{"a line after the end line"};
    const auto t = splitAtSpaces(line);
    if (t[0] == "end") return end(t);
    RecordedFrame f;
    f.frame = static_cast<long>(number(t[0], 0, kMaxFrame, "frame"));
    if (r_.frames.empty() && f.frame != 0) throw Refusal{"the start-up line (frame 0) is missing"};
    if (!r_.frames.empty() && f.frame <= r_.frames.back().frame)
      throw Refusal{"frame " + std::to_string(f.frame) + " does not come after frame " +
                    std::to_string(r_.frames.back().frame)};
    for (size_t i = 1; i < t.size();) i = item(f, t, i);
    if (f.frame == 0 && (f.clock.empty() || f.clock.front().read != 0))
      throw Refusal{"the start-up line lacks the clock's first reading ('clock 0 SECOND')"};
    r_.frames.push_back(std::move(f));
  }

  void finish() {
    if (r_.frames.empty()) throw Refusal{"the start-up line (frame 0) is missing"};
    if (!r_.ended) r_.end = r_.frames.back().frame;
  }

 private:
  void end(const std::vector<std::string_view>& t) {
    if (t.size() != 2) throw Refusal{"the end line should read 'end FRAMES'"};
    if (r_.frames.empty()) throw Refusal{"the start-up line (frame 0) is missing"};
    r_.end = static_cast<long>(number(t[1], 0, kMaxFrame, "frame count"));
    if (r_.end < r_.frames.back().frame)
      throw Refusal{"the recording ends at frame " + std::to_string(r_.end) + ", before frame " +
                    std::to_string(r_.frames.back().frame)};
    r_.ended = true;
  }

  // Reads the item at t[i]; returns the index of the next.
  size_t item(RecordedFrame& f, const std::vector<std::string_view>& t, size_t i) {
    const std::string_view word = t[i];
    // Events first, then the held keys' changes, then the clock's.
    const int kind = word == "down" || word == "up" ? 1 : word == "clock" ? 2 : 0;
    if (i == 1) kind_ = 0;
    if (kind < kind_) throw Refusal{"items go in this order: events, held keys, clock"};
    kind_ = kind;
    auto arguments = [&](size_t n, const char* usage) {
      if (i + n >= t.size()) throw Refusal{"'" + std::string(word) + "' needs " + usage};
    };
    if (f.frame == 0 && word != "clock")
      throw Refusal{"frame 0 is the start-up: it holds clock readings only, not " + quoted(word)};
    if (word == "press") {
      arguments(3, "a key and the pointer's x and y");
      InputEvent e{InputEvent::KeyPress};
      e.symbol = keyOf(t[i + 1]);
      e.x = pointer(t[i + 2], "pointer x");
      e.y = pointer(t[i + 3], "pointer y");
      f.events.push_back(e);
      return i + 4;
    }
    if (word == "mousedown" || word == "mousemove") {
      arguments(2, "the pointer's x and y");
      InputEvent e{word == "mousedown" ? InputEvent::ButtonDown : InputEvent::Motion};
      e.x = pointer(t[i + 1], "pointer x");
      e.y = pointer(t[i + 2], "pointer y");
      f.events.push_back(e);
      return i + 3;
    }
    if (word == "quit" || word == "mouseup") {
      f.events.push_back({word == "quit" ? InputEvent::Quit : InputEvent::ButtonUp});
      return i + 1;
    }
    if (word == "down" || word == "up") {
      arguments(1, "a key");
      const int symbol = keyOf(t[i + 1]);
      const bool down = word == "down";
      if (!held_[symbol] == !down)
        throw Refusal{"key " + quoted(t[i + 1]) + (down ? " is already down" : " is not down")};
      held_[symbol] = down;
      f.keys.push_back({symbol, down});
      return i + 2;
    }
    if (word == "clock") {
      arguments(2, "the reading's number in the frame and the second");
      ClockReading c;
      c.read = static_cast<long>(number(t[i + 1], 0, kMaxClockRead, "clock reading"));
      c.second = static_cast<std::time_t>(number(t[i + 2], 0, kMaxSecond, "second"));
      if (!f.clock.empty() && c.read <= f.clock.back().read)
        throw Refusal{"clock reading " + std::to_string(c.read) + " does not come after reading " +
                      std::to_string(f.clock.back().read)};
      f.clock.push_back(c);
      return i + 3;
    }
    throw Refusal{"unknown item " + quoted(word)};
  }

  Recording& r_;
  HeldKeys held_{};
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

}  // namespace

std::optional<Recording> parseRecording(const std::string& text, const std::string& path,
                                        std::string& error) {
  Recording recording;
  recording.path = path;
  Parser parser(recording);
  long at = 1;  // the line that a refusal names
  size_t start = 0;
  try {
    if (text.empty()) throw Refusal{"the file is empty, not a skyhook recording"};
    for (; start < text.size(); ++at) {
      const size_t newline = text.find('\n', start);
      const size_t length = (newline == std::string::npos ? text.size() : newline) - start;
      const std::string_view line(text.data() + start, std::min(length, kMaxLineLength + 1));
      if (at == 1 && line.substr(0, line.find(' ')) != kRecordingKind)
        throw Refusal{"not a skyhook recording"};
      if (length > kMaxLineLength)
        throw Refusal{"the line is longer than " + std::to_string(kMaxLineLength) + " bytes"};
      if (newline == std::string::npos)
        throw Refusal{"the recording is cut off in the middle of this line"};
      checkLine(line);
      if (at == 1)
        parser.header(line);
      else
        parser.body(line);
      start = newline + 1;
    }
    parser.finish();
  } catch (const Refusal& refusal) {
    error = path + ":" + std::to_string(at) + ": " + refusal.what;
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
  // Read in blocks, never more than a line beyond what a recording may hold:
  // an endless device or a giant line ends with a message, not exhausted memory.
  std::string text;
  char block[65536];
  size_t lineLength = 0;
  while (const size_t n = std::fread(block, 1, sizeof block, file.get())) {
    for (size_t i = 0; i < n; ++i) lineLength = block[i] == '\n' ? 0 : lineLength + 1;
    text.append(block, n);
    if (lineLength > kMaxLineLength) break;
  }
  if (std::ferror(file.get())) {
    error = path + ": cannot read: " + std::strerror(errno);
    return std::nullopt;
  }
  return parseRecording(text, path, error);
}
