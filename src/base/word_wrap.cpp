#include "base/word_wrap.h"

#include <sstream>

std::vector<std::string> wrapWords(const std::string& text, std::size_t columns) {
  std::vector<std::string> lines(1);
  std::istringstream words(text);
  for (std::string word; words >> word;) {
    std::string& line = lines.back();
    if (line.empty()) line = word;
    else if (line.size() + 1 + word.size() > columns) lines.push_back(word);
    else line += ' ' + word;
  }
  return lines;
}
