#pragma once
// The command line, read before SDL or freeglut see it: the options of the
// program, its help and its version.

#include <string>
#include <vector>

#include "session/session.h"

struct Options {
  bool fullscreen = false;
  bool consoleInWindow = false;  // the console strip shown from the start
  int uiScale = 0;               // the overlays' text scale, 1 to 4; 0: by the window's size
  std::string display;           // the X display to open; empty for $DISPLAY
  SessionOptions session;        // recording and replay
};

struct CommandLine {
  enum class Action { run, help, version, refuse };
  Action action = Action::run;
  Options options;
  std::string refusal;  // what was wrong, one line, when refused
};

// Reads the arguments the GNU way: long options may be shortened while they
// stay unambiguous, take their value as --name=VALUE or --name VALUE, and may
// be written with one dash as X programs take them (-display NAME).
CommandLine readCommandLine(int argc, char** argv);

// For anything but run: prints the help or the version on standard output, or
// the refusal on standard error, and gives the exit status (0, or 2 refused).
int answerCommandLine(const CommandLine& command);

// The arguments that give these options, read back by readCommandLine: how
// the program starts itself again on another session from the list of saved
// sessions.
std::vector<std::string> argumentsFor(const Options& options);

// The help: usage, the options and the keys.
std::string helpText();
