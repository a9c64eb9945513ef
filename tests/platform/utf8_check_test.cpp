#include "platform/utf8_check.hpp"

#include <gtest/gtest.h>

#include <string>

#include "support/text.hpp"

namespace quorvane::platform {
namespace {

struct Utf8Case {
  std::string bytes;
  bool valid;
};

TEST(IsValidUtf8, RefusesEveryKindOfInvalidSequence) {
  const Utf8Case cases[] = {
      {"", true},
      {"plain ascii text that is longer than eight bytes", true},
      {"caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x98\x80", true},
      {"abcdefgh\xFFijk", false},
      {"\xC0\xAF", false},          // overlong form
      {"\xED\xA0\x80", false},      // surrogate
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
      {"\xE2\x80", false},          // truncated at the end
      {"\xE2\x80x", false},         // truncated before ASCII
      {"12345678\xE2\x80\x94", true},
  };
  for (const Utf8Case& row : cases) {
    SCOPED_TRACE(row.bytes);
    EXPECT_EQ(is_valid_utf8(row.bytes), row.valid);
  }
}

TEST(IsValidUtf8, FindsEverySequenceInLongAsciiText) {
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

}  // namespace
}  // namespace quorvane::platform
