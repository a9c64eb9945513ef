#include "git/diff_header_path.hpp"

#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

struct PathCase {
  const char* name;
  std::string field;  // the header's text after "+++ "
  std::optional<std::string> expected;
};

class ReadDiffHeaderPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(ReadDiffHeaderPath, GivesThePathOrNothing) {
  EXPECT_EQ(read_diff_header_path(GetParam().field), GetParam().expected);
}

const PathCase kPathCases[] = {
    {"Plain", "b/src/a.c", "b/src/a.c"},
    {"PlainEndsAtTheTabAfterASpace", "b/my file.c\t", "b/my file.c"},
    {"PlainKeepsRawUtf8", "b/\u00e4.md", "b/\u00e4.md"},
    {"QuotedNamedEscapes", R"("b/\"\\\a\b\t\n\v\f\r")", "b/\"\\\a\b\t\n\v\f\r"},
    {"QuotedOctalBytesDecodeAsUtf8", R"("b/\303\244.md")", "b/\u00e4.md"},
    {"QuotedOctalLowAndHighest", R"("b/\001\177")", "b/\x01\x7f"},
    {"QuotedInvalidUtf8BecomesReplacement", R"("b/\377x")", "b/\ufffdx"},
    {"QuotedThenGitsTab", "\"b/a b\\303\\244\"\t", "b/a b\u00e4"},
    {"QuotedEmpty", R"("")", ""},
    {"UnknownEscape", R"("b/\q")", std::nullopt},
    {"OctalAbove255", R"("b/\400")", std::nullopt},
    {"OctalTooShort", R"("b/\30")", std::nullopt},
    {"OctalWithANonOctalDigit", R"("b/\308")", std::nullopt},
    {"BackslashAtTheEnd", "\"b/a\\", std::nullopt},
    {"NoClosingQuote", R"("b/a)", std::nullopt},
    {"TextAfterTheClosingQuote", R"("b/a" x)", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Fields, ReadDiffHeaderPath, ::testing::ValuesIn(kPathCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorvane
