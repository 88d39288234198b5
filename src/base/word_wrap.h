#pragma once
// Word wrapping for text laid out in fixed-width columns: the help's
// descriptions and the actions of F1's panel.

#include <cstddef>
#include <string>
#include <vector>

// Splits text at its spaces into lines of at most `columns` characters, words
// one space apart; a word longer than that keeps a line of its own. Text
// without words gives one empty line.
std::vector<std::string> wrapWords(const std::string& text, std::size_t columns);
