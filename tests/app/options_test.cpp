#include "app/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Action = CommandLine::Action;

CommandLine read(const std::vector<std::string>& args) {
  std::vector<std::string> all{"skyhook"};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  return readCommandLine(static_cast<int>(all.size()), argv.data());
}

}  // namespace

// Every command line below is read in the same process, one after another.
TEST(CommandLineOptions, FullscreenAndDisplayInTheirGnuAndXSpellings) {
  const CommandLine none = read({});
  EXPECT_EQ(none.action, Action::run);
  EXPECT_FALSE(none.options.fullscreen);
  EXPECT_EQ(none.options.display, "");

  for (const char* spelling : {"--fullscreen", "--full", "-fullscreen"}) {
    const CommandLine c = read({spelling});
    EXPECT_EQ(c.action, Action::run) << spelling << ": " << c.refusal;
    EXPECT_TRUE(c.options.fullscreen) << spelling;
  }
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"-display", ":5"}, {"--display", ":5"}, {"--display=:5"}, {"--disp=:5"}}) {
    const CommandLine c = read(args);
    EXPECT_EQ(c.action, Action::run) << args[0] << ": " << c.refusal;
    EXPECT_EQ(c.options.display, ":5") << args[0];
    EXPECT_FALSE(c.options.fullscreen);
  }
  const CommandLine both = read({"-display", "host:1.0", "--fullscreen"});
  EXPECT_EQ(both.options.display, "host:1.0");
  EXPECT_TRUE(both.options.fullscreen);

  const CommandLine record = read({"--record", "", "--dig"});
  EXPECT_EQ(record.options.session.record, "") << "an empty name is still a file to refuse";
  EXPECT_FALSE(record.options.session.replay);
  EXPECT_TRUE(record.options.session.digest);
  const CommandLine replay = read({"-replay=a.rec", "--headless"});
  EXPECT_EQ(replay.options.session.replay, "a.rec");
  EXPECT_TRUE(replay.options.session.headless);
  EXPECT_FALSE(replay.options.session.digest);
  EXPECT_EQ(none.options.uiScale, 0) << "by the window's size";
  EXPECT_EQ(read({"--ui-scale=3"}).options.uiScale, 3);
  EXPECT_EQ(read({"-ui", "1"}).options.uiScale, 1);

  // --resume's file may be left out (the newest saved session); --no-autosave
  // goes with anything.
  for (const auto& [args, resumed] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"--resume", "a.rec"}, "a.rec"},
           {{"--resume=a.rec"}, "a.rec"},
           {{"--resume"}, ""},
           {{"--resume=last"}, "last"},
           {{"--resume", "--no-autosave"}, ""},
           {{"--no-autosave", "-resume", "--digest"}, ""}}) {
    const CommandLine c = read(args);
    ASSERT_EQ(c.action, Action::run) << args[0] << ": " << c.refusal;
    EXPECT_EQ(c.options.session.resume, resumed) << args[0];
  }
  EXPECT_TRUE(read({"--resume", "--no-autosave"}).options.session.noAutosave);
  // --no-keyframes, and a restart from the list of saved sessions keeps it.
  const CommandLine full = read({"--resume", "--no-key"});
  EXPECT_TRUE(full.options.session.noKeyframes && !full.options.session.noAutosave);
  EXPECT_TRUE(read(argumentsFor(full.options)).options.session.noKeyframes);
  EXPECT_FALSE(none.options.session.noKeyframes);
  for (const auto& args :
       std::vector<std::vector<std::string>>{{"--replay", "a.rec", "--headless", "--no-autosave"},
                                             {"--no-auto", "--record=b.rec", "--fullscreen"}}) {
    const CommandLine c = read(args);
    ASSERT_EQ(c.action, Action::run) << c.refusal;
    EXPECT_TRUE(c.options.session.noAutosave) << args[0];
    // The list of saved sessions starts the program again with the same options.
    std::vector<std::string> again = argumentsFor(c.options);
    const CommandLine restarted = read(again);
    ASSERT_EQ(restarted.action, Action::run) << restarted.refusal;
    EXPECT_EQ(argumentsFor(restarted.options), again);
  }
  EXPECT_FALSE(none.options.session.noAutosave);
}

// As GNU programs do, help and version answer at once, whatever follows.
TEST(CommandLineOptions, HelpAndVersionInEverySpellingEndTheReading) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"-h"}, {"--help"}, {"--hel"}, {"-help"}, {"--fullscreen", "-h"}, {"-h", "--bogus"}})
    EXPECT_EQ(read(args).action, Action::help) << args.front();
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"-V"}, {"--version"}, {"--vers"}, {"-V", "level.txt"}})
    EXPECT_EQ(read(args).action, Action::version) << args.front();
}

TEST(CommandLineOptions, RefusesWithOneLineNamingWhatItCannotTake) {
  const struct {
    std::vector<std::string> args;
    std::string said;
  } cases[] = {
      {{"--bogus"}, "unrecognized option '--bogus'"},
      {{"--bogus=1"}, "unrecognized option '--bogus'"},
      {{"-x"}, "unrecognized option '-x'"},
      {{"-display"}, "option '-display' needs a value"},
      {{"--display"}, "option '--display' needs a value"},
      {{"--replay"}, "option '--replay' needs a value"},
      {{"--he"}, "ambiguous option '--he'"},  // --help or --headless
      {{"--fullscreen=yes"}, "option '--fullscreen' takes no value"},
      {{"level.txt"}, "unexpected argument 'level.txt'"},
      {{"--fullscreen", "-"}, "unexpected argument '-'"},
      {{"--", "--help"}, "unexpected argument '--help'"},  // after "--" nothing is an option
      {{"--ui-scale=5"}, "option '--ui-scale' takes 1, 2, 3 or 4, not '5'"},
      {{"--ui-scale=0"}, "option '--ui-scale' takes 1, 2, 3 or 4, not '0'"},
      {{"--ui-scale", "2x"}, "option '--ui-scale' takes 1, 2, 3 or 4, not '2x'"},
  };
  for (const auto& c : cases) {
    const CommandLine command = read(c.args);
    EXPECT_EQ(command.action, Action::refuse) << c.said;
    EXPECT_EQ(command.refusal, "skyhook: " + c.said + "; try 'skyhook --help'");
  }
}
