#pragma once
// The command-line options of recording and replay.

#include "session/session.h"

// Takes --record FILE, --replay FILE, --headless and --digest out of argv,
// leaving the rest in order. False, after one line on standard error, when an
// option lacks its file.
bool takeSessionOptions(int& argc, char** argv, SessionOptions& options);
