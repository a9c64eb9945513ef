#include "support/text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace quorvane {
namespace {

struct LossyCase {
  std::string bytes;
  std::string lossy;
};

TEST(Utf8, LossyDecodingReplacesEachInvalidSequence) {
  const std::string fffd = "\xEF\xBF\xBD";
  const LossyCase cases[] = {
      {"", ""},
      {"plain ascii text that is longer than eight bytes",
       "plain ascii text that is longer than eight bytes"},
      {"caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x98\x80"},
      {"abcdefgh\xFFijk", "abcdefgh" + fffd + "ijk"},
      {"\xC0\xAF", fffd + fffd},                        // overlong form
      {"\xED\xA0\x80", fffd + fffd + fffd},             // surrogate
      {"\xF4\x90\x80\x80", fffd + fffd + fffd + fffd},  // above U+10FFFF
      {"\xE2\x80", fffd},                               // truncated at the end
      {"\xE2\x80x", fffd + "x"},                        // truncated before ASCII
      {"12345678\xE2\x80\x94", "12345678\xE2\x80\x94"},
  };
  for (const LossyCase& row : cases) {
    SCOPED_TRACE(row.bytes);
    EXPECT_EQ(decode_utf8_lossy(row.bytes), row.lossy);
  }
}

TEST(Trim, RemovesUnicodeWhiteSpaceOnly) {
  EXPECT_EQ(trim_unicode_whitespace(" \t\xE3\x80\x80x y\xC2\xA0\n"), "x y");
  EXPECT_EQ(trim_unicode_whitespace_end("  x \xE2\x80\xA8"), "  x");
  // U+200B ZERO WIDTH SPACE is not White_Space.
  EXPECT_EQ(trim_unicode_whitespace("\xE2\x80\x8Bx"), "\xE2\x80\x8Bx");
  EXPECT_TRUE(is_blank(" \t\xE3\x80\x80"));
  EXPECT_TRUE(is_blank(""));
  EXPECT_FALSE(is_blank(" . "));
}

TEST(AsciiLower, ChangesOnlyAsciiCapitals) {
  EXPECT_EQ(ascii_lower("AND \xC3\x84nd Etc."), "and \xC3\x84nd etc.");
}

}  // namespace
}  // namespace quorvane
