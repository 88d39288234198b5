#include "recording/recording.h"

#include <cstdio>
#include <string>

#include "game/keys.h"
#include "recording/digest.h"

namespace {

std::string seekItem(const InputEvent& e) {
  const std::string to = ' ' + std::to_string(e.x);
  switch (e.symbol) {
    case seekUndo: return " undo" + to;
    case seekRedo: return " redo" + to;
    case seekBranch: return " branch " + std::to_string(e.y) + to;
    default: return " seek" + to;
  }
}

}  // namespace

std::string frameLine(long frame, const std::vector<InputEvent>& events, const HeldKeys& before,
                      const HeldKeys& after, const std::vector<ClockReading>& clock) {
  std::string line;
  auto at = [](const InputEvent& e) {
    return ' ' + std::to_string(e.x) + ' ' + std::to_string(e.y);
  };
  for (const InputEvent& e : events) {
    switch (e.kind) {
      case InputEvent::KeyPress:
        if (const char* name = keyName(e.symbol)) line += std::string(" press ") + name + at(e);
        break;
      case InputEvent::Quit: line += " quit"; break;
      case InputEvent::ButtonDown: line += " mousedown" + at(e); break;
      case InputEvent::ButtonUp: line += " mouseup"; break;
      case InputEvent::Motion: line += " mousemove" + at(e); break;
      case InputEvent::Seek: line += seekItem(e); break;
      case InputEvent::Resumed: line += " resumed"; break;
    }
  }
  for (const NamedKey& k : gameKeys()) {
    if (!before[k.symbol] == !after[k.symbol]) continue;
    line += after[k.symbol] ? " down " : " up ";
    line += k.name;
  }
  for (const ClockReading& c : clock)
    line += " clock " + std::to_string(c.read) + ' ' + std::to_string(c.second);
  return line.empty() ? line : std::to_string(frame) + line;
}

std::string headerLine() {
  return std::string(kRecordingKind) + ' ' + std::to_string(kRecordingVersion) + " skyhook " +
         SKYHOOK_VERSION + " physics " + physicsIdentity();
}

std::string checkpointLine(long frame, std::uint64_t digest) {
  char text[16];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(digest));
  return "check " + std::to_string(frame) + ' ' + text;
}

std::string endLine(long frames) { return "end " + std::to_string(frames); }

std::vector<std::string> linesUpTo(const Recording& recording, long frame, HeldKeys& held) {
  std::vector<std::string> lines;
  held.fill(0);
  // Checkpoints of another build would not hold for this one's continuation.
  const bool checks = recording.physics == physicsIdentity();
  size_t check = 0;
  auto checksUpTo = [&](long last) {
    for (; checks && check < recording.checkpoints.size() &&
           recording.checkpoints[check].frame <= last;
         ++check)
      lines.push_back(
          checkpointLine(recording.checkpoints[check].frame, recording.checkpoints[check].digest));
  };
  for (size_t i = 0; i < recording.frames.size() && recording.frames[i].frame <= frame; ++i) {
    checksUpTo(static_cast<long>(recording.frames[i].frame) - 1);
    const HeldKeys before = held;
    for (const KeyChange& k : recording.keysOf(i)) held[k.symbol] = k.down;
    std::vector<InputEvent> events;
    for (const InputEvent& e : recording.eventsOf(i))
      if (!endsSession(e)) events.push_back(e);
    const auto clock = recording.clockOf(i);
    std::string line =
        frameLine(recording.frames[i].frame, events, before, held, {clock.begin(), clock.end()});
    // A frame with nothing in it only marked how far a session got.
    if (!line.empty()) lines.push_back(std::move(line));
  }
  checksUpTo(frame);
  return lines;
}

std::string textUpTo(const Recording& recording, long frame) {
  HeldKeys held{};
  std::string text = headerLine() + '\n';
  for (const std::string& line : linesUpTo(recording, frame, held)) text += line + '\n';
  return text + endLine(frame) + '\n';
}
