#include "support/text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace quorvane {
namespace {

struct Utf8Case {
  std::string bytes;
  bool valid;
  std::string lossy;
};

TEST(Utf8, ValidationAndLossyDecodingAgree) {
  const std::string fffd = "\xEF\xBF\xBD";
  const Utf8Case cases[] = {
      {"", true, ""},
      {"plain ascii text that is longer than eight bytes", true,
       "plain ascii text that is longer than eight bytes"},
      {"caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x98\x80", true,
       "caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x98\x80"},
      {"abcdefgh\xFFijk", false, "abcdefgh" + fffd + "ijk"},
      {"\xC0\xAF", false, fffd + fffd},                        // overlong form
      {"\xED\xA0\x80", false, fffd + fffd + fffd},             // surrogate
      {"\xF4\x90\x80\x80", false, fffd + fffd + fffd + fffd},  // above U+10FFFF
      {"\xE2\x80", false, fffd},                               // truncated at the end
      {"\xE2\x80x", false, fffd + "x"},                        // truncated before ASCII
      {"12345678\xE2\x80\x94", true, "12345678\xE2\x80\x94"},
  };
  for (const Utf8Case& row : cases) {
    SCOPED_TRACE(row.bytes);
    EXPECT_EQ(is_valid_utf8(row.bytes), row.valid);
    EXPECT_EQ(decode_utf8_lossy(row.bytes), row.lossy);
  }
}

TEST(Utf8, ValidationFindsEverySequenceInLongAsciiText) {
  // Long ASCII runs are skipped in blocks: a sequence at any offset of a block must be checked.
  const std::string sequences[] = {"\xFF",         "\xC3\xA9",         "\xE2\x80\x94", "\xE2\x80",
                                   "\xED\xA0\x80", "\xF0\x9F\x98\x80", "\x80"};
  for (const std::string& sequence : sequences) {
    for (std::size_t offset = 0; offset < 150; ++offset) {
      for (const std::size_t after : {std::size_t{0}, std::size_t{1}, std::size_t{70}}) {
        const std::string text = std::string(offset, 'a') + sequence + std::string(after, 'b');
        // Valid exactly when lossy decoding changes nothing.
        EXPECT_EQ(is_valid_utf8(text), decode_utf8_lossy(text) == text)
            << offset << " " << after << " " << sequence.size();
      }
    }
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
