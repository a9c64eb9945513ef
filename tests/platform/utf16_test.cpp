#include "platform/utf16.hpp"

#include <gtest/gtest.h>

#include "platform/utf8_check.hpp"

namespace quorvane::platform {
namespace {

TEST(Utf16ToUtf8, PairsBecomeOneCharacterAndLoneSurrogatesTheReplacement) {
  // "a", "é", "—", U+1F600 as a pair, a lone high and a lone low surrogate, a pair reversed.
  const std::u16string text = u"a\u00e9\u2014\xD83D\xDE00|\xD800|\xDC00|\xDE00\xD83D";
  EXPECT_EQ(utf16_to_utf8(text),
            "a\xC3\xA9\xE2\x80\x94\xF0\x9F\x98\x80|\xEF\xBF\xBD|\xEF\xBF\xBD|"
            "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(utf16_to_utf8(u"\xD800"), "\xEF\xBF\xBD");  // lone at the very end
}

TEST(Utf16ToUtf8KeepingSurrogates, LoneSurrogatesGiveBytesThatAreNotUtf8) {
  const std::string kept = utf16_to_utf8_keeping_surrogates(u"x\xD800y\xDFFF");
  EXPECT_EQ(kept, "x\xED\xA0\x80y\xED\xBF\xBF");
  EXPECT_FALSE(is_valid_utf8(kept));
  // Pairs are still joined: the text is UTF-8 when nothing is lone.
  EXPECT_EQ(utf16_to_utf8_keeping_surrogates(u"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
}

TEST(Utf8ToUtf16, RoundTripsAndReplacesInvalidBytes) {
  const std::string text = "a\xC3\xA9\xE2\x80\x94\xF0\x9F\x98\x80";
  EXPECT_EQ(utf8_to_utf16(text), u"a\u00e9\u2014\xD83D\xDE00");
  EXPECT_EQ(utf16_to_utf8(utf8_to_utf16(text)), text);
  EXPECT_EQ(utf8_to_utf16("a\xFF"
                          "b\xED\xA0\x80"),
            u"a\uFFFDb\uFFFD\uFFFD\uFFFD");
}

}  // namespace
}  // namespace quorvane::platform
