#include "platform/utf8_slices.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platform/utf16.hpp"

namespace quorvane::platform {
namespace {

struct SliceCase {
  const char* label;
  std::string text;
  std::size_t limit;
  std::size_t expected;
};

class WholeCharacters : public ::testing::TestWithParam<SliceCase> {};

TEST_P(WholeCharacters, EndsBetweenCharacters) {
  const SliceCase& c = GetParam();
  EXPECT_EQ(whole_characters_length(c.text, c.limit), c.expected) << c.label;
}

// "—" is E2 80 94, U+1F600 is F0 9F 98 80.
INSTANTIATE_TEST_SUITE_P(
    Cases, WholeCharacters,
    ::testing::Values(SliceCase{"ASCII up to the limit", "abcdef", 4, 4},
                      SliceCase{"all of it", "a\xE2\x80\x94", 10, 4},
                      SliceCase{"limit inside a dash", "a\xE2\x80\x94z", 3, 1},
                      SliceCase{"limit just after a dash", "a\xE2\x80\x94z", 4, 4},
                      SliceCase{"limit inside a four-byte character", "\xF0\x9F\x98\x80", 3, 0},
                      SliceCase{"dash cut short by the end", "ab\xE2\x80", 10, 2},
                      SliceCase{"lead byte alone at the end", "ab\xF0", 10, 2},
                      // Bytes that no text could complete convert the same now as later.
                      SliceCase{"invalid lead byte at the end", "ab\xFF", 10, 3},
                      SliceCase{"stray continuation byte", "ab\x80", 10, 3},
                      SliceCase{"surrogate bytes", "a\xED\xA0\x80", 10, 4},
                      SliceCase{"lead broken by ASCII", "a\xE2z", 10, 3},
                      SliceCase{"empty", "", 10, 0}));

TEST(WholeCharacters, SlicesConvertLikeTheWholeText) {
  // Every cut that the slicing makes, converted piece by piece, gives the whole text's UTF-16.
  std::string text;
  for (int i = 0; i < 50; ++i) text += "a\xC3\xA9\xE2\x80\x94\xF0\x9F\x98\x80\xFF\xE2\x80";
  // From four bytes on, a slice always holds at least one character.
  for (std::size_t limit = 4; limit <= 12; ++limit) {
    std::u16string pieces;
    std::string_view rest = text;
    while (!rest.empty()) {
      std::size_t length = whole_characters_length(rest, limit);
      if (length == 0) {
        // Only a character cut short by the end is left.
        ASSERT_LE(rest.size(), 3u);
        length = rest.size();
      }
      pieces += utf8_to_utf16(rest.substr(0, length));
      rest.remove_prefix(length);
    }
    EXPECT_EQ(pieces, utf8_to_utf16(text)) << "limit " << limit;
  }
}

}  // namespace
}  // namespace quorvane::platform
