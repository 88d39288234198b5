#include "session/key_names.h"

const char* keyName(int symbol) {
  for (const KeyName& k : kKeyNames)
    if (k.symbol == symbol) return k.name;
  return nullptr;
}

int keySymbol(std::string_view name) {
  for (const KeyName& k : kKeyNames)
    if (name == k.name) return k.symbol;
  return -1;
}
