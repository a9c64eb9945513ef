#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "manifest/schema.hpp"
#include "platform/utf8_check.hpp"

namespace quorvane {
namespace {

std::string first_line(const std::string& text) {
  return text.substr(0, text.find('\n'));
}

struct StrayCharacter {
  std::string name;
  std::string toml;
  std::string report_head;
};

// The TOML library's test for non-ASCII white space ends in an unreachable point for whole
// ranges of code points (U+00A1..U+0499, U+2C5E..U+3057 but U+3000, U+FAFE..U+FEFE). Where such a
// character stands after a value, at a key or after a line-ending backslash, the shipped library
// must still take it for what it is, not white space, and refuse the document at that character.
TEST(FuzzRegressions, CharactersThatTheWhiteSpaceTableMisplacesEndInAReportAtThem) {
  const std::vector<StrayCharacter> cases = {
      {"first found: U+02BF after a number in an array",
       "scan = [6\xCA\xBF"
       "666\"\"\"666must\"], { id 9 \"REQ-B-2\" }]\n"
       "signo66es = { A = { description = 'x' }, B = 1979-05-27 }\n",
       "TOML parse error at line 1, column 9"},
      {"U+00E9 after an integer", "a = 1\xC3\xA9", "TOML parse error at line 1, column 6"},
      {"U+0499 after a boolean", "a = true\xD2\x99", "TOML parse error at line 1, column 9"},
      {"U+3001 after an integer", "a = 1\xE3\x80\x81", "TOML parse error at line 1, column 6"},
      {"U+FB01 after a float", "a = 1.5\xEF\xAC\x81", "TOML parse error at line 1, column 8"},
      {"U+00A1 at a key", "\xC2\xA1 = 1", "TOML parse error at line 1, column 1"},
      {"U+02BF after a backslash in a multi-line string", "a = \"\"\"x\\\xCA\xBF\"\"\"",
       "TOML parse error at line 1, column 10"},
  };
  for (const StrayCharacter& c : cases) {
    const Result<RawManifest> full = read_raw_manifest(c.toml);
    const Result<Raw> reduced = read_raw(c.toml);
    ASSERT_FALSE(full) << c.name;
    ASSERT_FALSE(reduced) << c.name;
    EXPECT_EQ(first_line(full.error()), c.report_head) << c.name;
    EXPECT_EQ(reduced.error(), full.error()) << c.name;
    EXPECT_TRUE(platform::is_valid_utf8(full.error())) << c.name;
  }
}

}  // namespace
}  // namespace quorvane
