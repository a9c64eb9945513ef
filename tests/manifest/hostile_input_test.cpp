#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "manifest/nesting_guard.hpp"
#include "manifest/schema.hpp"
#include "platform/utf8_check.hpp"

namespace quorvane {
namespace {

std::string repeat(std::string_view part, std::size_t times) {
  std::string out;
  out.reserve(part.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += part;
  return out;
}

std::string dotted_key(std::size_t segments) {
  // Appended, not "a" + a temporary: g++ 12 warns falsely (-Wrestrict) about that at -O3.
  std::string key = "a";
  key += repeat(".a", segments - 1);
  return key;
}

// "[key]", appended for the same reason.
std::string table_header(const std::string& key) {
  std::string header = "[";
  header += key;
  header += ']';
  return header;
}

std::string first_line(const std::string& text) {
  return text.substr(0, text.find('\n'));
}

std::string last_line(const std::string& text) {
  const std::size_t begin = text.rfind('\n', text.size() - 2) + 1;
  return text.substr(begin, text.size() - 1 - begin);
}

struct HostileCase {
  std::string name;
  std::string toml;
  bool reads;
  std::string report_head;  // first line of the report, or "" for any position
  std::string description;  // last line of the report, or "" to accept the library's text
};

// Documents built to exhaust the stack or confuse the reading: each ends in one report (or reads
// correctly), never in a crash.
TEST(HostileInput, DeepOrOddDocumentsEndInOneReport) {
  const std::string too_deep = "exceeded maximum nesting depth of 1000 tables";
  const std::vector<HostileCase> cases = {
      {"nested arrays", "a = " + repeat("[", 100000) + repeat("]", 100000), false,
       "TOML parse error at line 1, column 261", ""},
      {"nested inline tables", "a = " + repeat("{b=", 100000) + "1" + repeat("}", 100000), false,
       "TOML parse error at line 1, column 3003", too_deep},
      {"dotted key", dotted_key(100000) + " = 1", false, "TOML parse error at line 1, column 2001",
       too_deep},
      {"table header", "x = 1\n[" + dotted_key(100000) + "]", false,
       "TOML parse error at line 2, column 2002", too_deep},
      {"array of tables header", "[[" + dotted_key(100000) + "]]", false,
       "TOML parse error at line 1, column 2003", too_deep},
      {"header plus key", table_header(dotted_key(600)) + "\n" + dotted_key(600) + " = 1", false,
       "TOML parse error at line 2, column 801", too_deep},
      {"keys inside inline tables",
       "x = [{ " + dotted_key(600) + " = { \"q\".'r'." + dotted_key(600) + " = 1 } }]", false,
       "TOML parse error at line 1, column 2014", too_deep},
      // Dots that nest nothing, and nesting just within the limit.
      {"dots in strings and comments",
       "x = \"" + repeat(".", 5000) + "\"\ny = '" + repeat("a.", 5000) + "'\n# " +
           repeat("b.", 5000) + "\nz = \"\"\"\n" + dotted_key(5000) + " = 1\n\"\"\"\n" +
           "w = '''\n" + dotted_key(5000) + "'''\n",
       true, "", ""},
      {"many floats", "x = [" + repeat("1.5, ", 5000) + "2.5]", true, "", ""},
      {"deep but within the limit",
       "a.b.c = 1\n[" + dotted_key(900) + "]\n" + dotted_key(100) + " = 1", true, "", ""},
      {"deepest nesting allowed",
       table_header(dotted_key(999)) + "\na = " + repeat("[", 255) + repeat("]", 255), true, "",
       ""},
      {"escaped quotes in strings",
       "x = \"\\\"\\\\\"\ny = \"\"\"\"\"a\\\"\"\"\"\"\n" + dotted_key(1000) + " = 1", true, "", ""},
      // Strings that end in escaped or extra quotes hide nothing that follows them.
      {"deep key after tricky strings",
       "x = \"\\\"\"\ny = \"\"\"\"\"a\\\"\"\"\"\"\nz = ''''a'''''\n" + dotted_key(100000) + " = 1",
       false, "TOML parse error at line 4, column 2001", too_deep},
      // Text the parser refuses.
      {"invalid UTF-8", "id = \"\xC3\x28\"", false, "TOML parse error at line 1, column 6", ""},
      {"NUL byte", std::string("x = 1\0", 6), false, "TOML parse error at line 1, column 6", ""},
      {"unterminated multi-line string", "x = '''" + dotted_key(5000), false, "", ""},
      {"bare non-ASCII key", "ключ = 1", false, "TOML parse error at line 1, column 1", ""},
      {"unicode everywhere",
       "\"ключ\" = \"значение ✓\"\n[[requirements]]\nid = \"REQ-✓\"\n\"κλειδί\".\"🔑\" = 1", true,
       "", ""},
  };
  for (const HostileCase& c : cases) {
    const Result<RawManifest> result = read_raw_manifest(c.toml);
    if (c.reads) {
      EXPECT_TRUE(result) << c.name << ": " << result.error().substr(0, 300);
      continue;
    }
    ASSERT_FALSE(result) << c.name;
    const std::string& report = result.error();
    EXPECT_TRUE(platform::is_valid_utf8(report)) << c.name;
    if (!c.report_head.empty()) {
      EXPECT_EQ(first_line(report), c.report_head) << c.name;
    }
    if (!c.description.empty()) {
      EXPECT_EQ(last_line(report), c.description) << c.name;
    }
    // The reduced reading shares the guard.
    EXPECT_FALSE(read_raw(c.toml)) << c.name;
  }
}

TEST(HostileInput, LargeManifestReadsCompletely) {
  std::string text;
  for (int i = 0; i < 50000; ++i) {
    text += "[[requirements]]\nid = \"REQ-" + std::to_string(i) +
            "\"\ntitle = \"Title ✓\"\nrequired_stages = [\"doc\", \"impl\"]\n";
  }
  const Result<RawManifest> result = read_raw_manifest(text);
  ASSERT_TRUE(result) << result.error().substr(0, 300);
  ASSERT_EQ(result.value().requirements.size(), 50000u);
  EXPECT_EQ(result.value().requirements.back().id, "REQ-49999");
}

}  // namespace
}  // namespace quorvane
