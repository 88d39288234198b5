#include "app/options.h"

#include <getopt.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <iterator>
#include <sstream>
#include <utility>
#include <vector>

#include "base/word_wrap.h"
#include "game/keys.h"

namespace {

using Action = CommandLine::Action;

CommandLine refused(const std::string& what);

// Every option, in the order the help shows them.
struct OptionRow {
  const char* name;
  char shortName;        // 0 for none
  const char* argument;  // the value's name in the help; nullptr for none
  const char* help;
  void (*apply)(CommandLine&, const char* value);
  // The value may be left out: --name=VALUE, or --name VALUE when VALUE does
  // not begin with a dash; without one, apply gets "".
  bool optionalValue = false;
};

const OptionRow kOptions[] = {
    {"help", 'h', nullptr, "show the usage, the options and the keys, and exit",
     [](CommandLine& c, const char*) { c.action = Action::help; }},
    {"version", 'V', nullptr, "show the version and exit",
     [](CommandLine& c, const char*) { c.action = Action::version; }},
    {"fullscreen", 0, nullptr, "start in the full screen",
     [](CommandLine& c, const char*) { c.options.fullscreen = true; }},
    {"console-in-window", 0, nullptr,
     "show the console's last lines in the window from the start (L hides them)",
     [](CommandLine& c, const char*) { c.options.consoleInWindow = true; }},
    {"ui-scale", 0, "N",
     "draw the text of the window's panels and marks N times as large, 1 to 4 (Ctrl with + and "
     "- change it) where the window has room, 640 pixels across for each; by default 2 on a "
     "screen about 1800 pixels wide or more, else 1",
     [](CommandLine& c, const char* value) {
       const std::string text = value;
       if (text.size() != 1 || text[0] < '1' || text[0] > '4') {
         c = refused("option '--ui-scale' takes 1, 2, 3 or 4, not '" + text + "'");
         return;
       }
       c.options.uiScale = text[0] - '0';
     }},
    {"display", 0, "NAME", "open the window on the X display NAME instead of $DISPLAY",
     [](CommandLine& c, const char* value) { c.options.display = value; }},
    {"record", 0, "FILE", "write what reaches the game from outside to FILE, frame by frame",
     [](CommandLine& c, const char* value) { c.options.session.record = value; }},
    {"replay", 0, "FILE",
     "play the recording FILE back in place of the keyboard; in the window it stops on its "
     "last picture, without one it exits where it ends",
     [](CommandLine& c, const char* value) { c.options.session.replay = value; }},
    {"resume", 0, "FILE",
     "play the recording FILE unseen, as fast as the machine goes, with a progress bar in the "
     "window (Escape cancels), then go on playing from there; without FILE, or with 'last', the "
     "newest saved session, automatic or not",
     [](CommandLine& c, const char* value) { c.options.session.resume = value; }, true},
    {"quit-at-end", 0, nullptr, "with --replay in the window: exit where the recording ends",
     [](CommandLine& c, const char*) { c.options.session.quitAtEnd = true; }},
    {"headless", 0, nullptr, "with --replay: play without a window, as fast as the machine goes",
     [](CommandLine& c, const char*) { c.options.session.headless = true; }},
    {"digest", 0, nullptr, "at exit, print a hash of every body's motion on standard error",
     [](CommandLine& c, const char*) { c.options.session.digest = true; }},
    {"no-autosave", 0, nullptr,
     "keep nothing at quit: without it a session played for 10 seconds or more is kept in the "
     "sessions folder as an automatic save (the newest 10 stay)",
     [](CommandLine& c, const char*) { c.options.session.noAutosave = true; }},
    {"no-keyframes", 0, nullptr,
     "with --resume: play the whole recording again, without the keyframe saved beside it; with "
     "--replay: a seek plays every frame to its moment",
     [](CommandLine& c, const char*) { c.options.session.noKeyframes = true; }},
};
constexpr int kFirstLongOnly = 256;  // getopt's code of a row without a short name: 256 + row

const char kUsage[] = "Usage: skyhook [OPTION]...";
const char kSummary[] =
    "A two-dimensional physics sandbox: a ship, a crane car and endless mountains.";

CommandLine refused(const std::string& what) {
  CommandLine c;
  c.action = Action::refuse;
  c.refusal = "skyhook: " + what + "; try 'skyhook --help'";
  return c;
}

// The option getopt has just read, as written, without its "=value".
std::string lastWritten(int argc, char** argv) {
  const std::string written = optind > 0 && optind <= argc ? argv[optind - 1] : "";
  return written.substr(0, written.find('='));
}

// How many long names begin with the text.
int longNamesStartingWith(const std::string& text) {
  int count = 0;
  for (const OptionRow& row : kOptions)
    if (std::strncmp(row.name, text.c_str(), text.size()) == 0) ++count;
  return count;
}

const OptionRow* rowFor(int code) {
  for (const OptionRow& row : kOptions)
    if (row.shortName && row.shortName == code) return &row;
  const int index = code - kFirstLongOnly;
  if (index >= 0 && index < static_cast<int>(std::size(kOptions))) return &kOptions[index];
  return nullptr;
}

// One help line per entry, the descriptions in a column, wrapped before 80.
void writeColumns(std::ostream& out, const std::vector<std::pair<std::string, std::string>>& rows) {
  size_t column = 0;
  for (const auto& row : rows) column = std::max(column, row.first.size());
  column += 4;
  const size_t width = column < 79 ? 79 - column : 0;
  for (const auto& [left, text] : rows) {
    std::string first = "  " + left;
    first.resize(column, ' ');
    const std::vector<std::string> lines = wrapWords(text, width);
    for (size_t i = 0; i < lines.size(); ++i)
      out << (i ? std::string(column, ' ') : first) << lines[i] << '\n';
  }
}

}  // namespace

CommandLine readCommandLine(int argc, char** argv) {
  std::vector<option> longOptions;
  std::string shortOptions = ":";  // ':' first: a missing value is told from an unknown option
  for (size_t i = 0; i < std::size(kOptions); ++i) {
    const OptionRow& row = kOptions[i];
    const int code = row.shortName ? row.shortName : kFirstLongOnly + static_cast<int>(i);
    const int takes = !row.argument       ? no_argument
                      : row.optionalValue ? optional_argument
                                          : required_argument;
    longOptions.push_back({row.name, takes, nullptr, code});
    if (row.shortName) shortOptions += std::string(1, row.shortName) + (row.argument ? ":" : "");
  }
  longOptions.push_back({nullptr, 0, nullptr, 0});

  CommandLine command;
  opterr = 0;  // the messages are ours
  optind = 0;  // glibc starts afresh, also for a second command line in the same process
  for (;;) {
    const int code =
        getopt_long_only(argc, argv, shortOptions.c_str(), longOptions.data(), nullptr);
    if (code == -1) break;
    if (code == ':') return refused("option '" + lastWritten(argc, argv) + "' needs a value");
    if (code == '?') {
      if (optopt && !rowFor(optopt))
        return refused(std::string("unrecognized option '-") + static_cast<char>(optopt) + "'");
      if (optopt) return refused("option '" + lastWritten(argc, argv) + "' takes no value");
      const std::string name = lastWritten(argc, argv);
      std::string bare = name;
      bare.erase(0, bare.find_first_not_of('-'));
      const bool ambiguous = longNamesStartingWith(bare) > 1;
      return refused((ambiguous ? "ambiguous option '" : "unrecognized option '") + name + "'");
    }
    const OptionRow* row = rowFor(code);
    const char* value = optarg;
    if (row && row->optionalValue && !value) {
      value = "";
      if (optind < argc && argv[optind][0] != '-') value = argv[optind++];
    }
    if (row) row->apply(command, value);
    // Help and version end the reading, as GNU programs do.
    if (command.action != Action::run) return command;
  }
  if (optind < argc) return refused(std::string("unexpected argument '") + argv[optind] + "'");
  return command;
}

std::string helpText() {
  std::ostringstream out;
  out << kUsage << '\n' << kSummary << "\n\nOptions:\n";
  std::vector<std::pair<std::string, std::string>> options;
  for (const OptionRow& row : kOptions) {
    std::string left = row.shortName ? std::string("-") + row.shortName + ", " : "    ";
    left += std::string("--") + row.name;
    if (row.argument)
      left += row.optionalValue ? std::string("[=") + row.argument + "]"
                                : std::string("=") + row.argument;
    options.emplace_back(left, row.help);
  }
  writeColumns(out, options);
  out << "\nLong options may be shortened while they stay unambiguous and written with one\n"
         "dash, as X programs take them: -display NAME.\n\nKeys:\n";
  std::vector<std::pair<std::string, std::string>> keys;
  for (const KeyRow& k : kKeys) keys.emplace_back(k.keys, k.does);
  writeColumns(out, keys);
  return out.str();
}

std::vector<std::string> argumentsFor(const Options& options) {
  std::vector<std::string> args;
  if (options.fullscreen) args.push_back("--fullscreen");
  if (options.consoleInWindow) args.push_back("--console-in-window");
  if (options.uiScale) args.push_back("--ui-scale=" + std::to_string(options.uiScale));
  if (!options.display.empty()) args.push_back("--display=" + options.display);
  const SessionOptions& session = options.session;
  if (session.record) args.push_back("--record=" + *session.record);
  if (session.replay) args.push_back("--replay=" + *session.replay);
  if (session.resume) args.push_back("--resume=" + *session.resume);
  if (session.headless) args.push_back("--headless");
  if (session.digest) args.push_back("--digest");
  if (session.noAutosave) args.push_back("--no-autosave");
  if (session.noKeyframes) args.push_back("--no-keyframes");
  return args;
}

int answerCommandLine(const CommandLine& command) {
  switch (command.action) {
    case Action::help: std::cout << helpText() << std::flush; return 0;
    case Action::version: std::cout << "skyhook " SKYHOOK_VERSION << std::endl; return 0;
    case Action::refuse: std::cerr << command.refusal << std::endl; return 2;
    case Action::run: break;
  }
  return 0;
}
