#include "base/word_wrap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The help and F1's panel both wrap with it: a line may fill its columns
// exactly, never pass them unless one word alone does.
TEST(WordWrap, FillsEachLineUpToItsColumnsAndGivesALongWordALineOfItsOwn) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(wrapWords("", 10), Lines{""});
  EXPECT_EQ(wrapWords("  ", 10), Lines{""});
  EXPECT_EQ(wrapWords("ab cd efgh", 10), Lines{"ab cd efgh"}) << "exactly ten";
  EXPECT_EQ(wrapWords("ab cd efghi", 10), (Lines{"ab cd", "efghi"}));
  EXPECT_EQ(wrapWords("a verylongword b", 5), (Lines{"a", "verylongword", "b"}));
  EXPECT_EQ(wrapWords("verylongword", 5), Lines{"verylongword"});
  EXPECT_EQ(wrapWords(" a  b\tc ", 10), Lines{"a b c"}) << "words one space apart";
}
