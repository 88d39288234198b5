#include "app/session_options.h"

#include <cstring>
#include <optional>
#include <string>
#include <iostream>

bool takeSessionOptions(int& argc, char** argv, SessionOptions& options) {
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    std::optional<std::string>* file = !std::strcmp(a, "--record") ? &options.record
                        : !std::strcmp(a, "--replay") ? &options.replay
                                                      : nullptr;
    if (file) {
      if (i + 1 >= argc) {
        std::cerr << "skyhook: " << a << " needs a file name" << std::endl;
        return false;
      }
      *file = argv[++i];
    } else if (!std::strcmp(a, "--headless")) {
      options.headless = true;
    } else if (!std::strcmp(a, "--digest")) {
      options.digest = true;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argv[kept] = nullptr;
  argc = kept;
  return true;
}
