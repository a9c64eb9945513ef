#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "cli_test_support.hpp"

namespace quorvane {
namespace {

using testing::describe;
using testing::parse;

struct ConversionCase {
  std::vector<std::string> arguments;
  std::string expected;
};

void PrintTo(const ConversionCase& c, std::ostream* os) {
  *os << testing::shown_arguments(c.arguments);
}

class Conversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(Conversion, YieldsTheCommandWithEveryField) {
  const ConversionCase& c = GetParam();
  CliParse parsed = parse(c.arguments);
  ASSERT_TRUE(std::holds_alternative<Cli>(parsed))
      << std::get<CliExit>(parsed).err_text << std::get<CliExit>(parsed).out_text;
  EXPECT_EQ(describe(std::get<Cli>(parsed).command), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, Conversion,
    ::testing::Values(
        // Lists keep every occurrence in command-line order, repeats included.
        ConversionCase{{"list", "--missing", "doc", "--missing", "unit"},
                       R"(list missing=["doc", "unit"] type=[] json=false)"},
        ConversionCase{{"list", "--missing", "unit", "--type", "T", "--missing", "unit", "--json"},
                       R"(list missing=["unit", "unit"] type=["T"] json=true)"},
        // Values are taken whole: neither commas nor bracketed lists are split.
        ConversionCase{{"list", "--missing", "doc,unit"},
                       R"(list missing=["doc,unit"] type=[] json=false)"},
        ConversionCase{{"list", "--type", "[A,B]"}, R"(list missing=[] type=["[A,B]"] json=false)"},
        // "=" joins any value, even one that looks like an option, or an empty one.
        ConversionCase{{"list", "--type=-x", "--type=", "--missing=a=b"},
                       R"(list missing=["a=b"] type=["-x", ""] json=false)"},
        // A value may be a subcommand name, a lone "-" or non-ASCII text.
        ConversionCase{{"list", "--type", "check", "--missing", "-", "--type", "ÄRGER"},
                       R"(list missing=["-"] type=["check", "ÄRGER"] json=false)"},
        ConversionCase{{"check"}, R"(check json=false type=[] fail_on="must")"},
        // The level word is the run's to judge, not the parser's.
        ConversionCase{{"check", "--fail-on", "bogus", "--type", "A", "--json"},
                       R"(check json=true type=["A"] fail_on="bogus")"},
        ConversionCase{{"check", "--fail-on=should"},
                       R"(check json=false type=[] fail_on="should")"},
        ConversionCase{{"trace", "--json", "REQ-A-1"}, R"(trace id="REQ-A-1" json=true)"},
        ConversionCase{{"trace", "REQ-A-1", "--json"}, R"(trace id="REQ-A-1" json=true)"},
        ConversionCase{{"trace", "list"}, R"(trace id="list" json=false)"},
        // After "--" everything is a value, even what looks like an option.
        ConversionCase{{"trace", "--", "--json"}, R"(trace id="--json" json=false)"},
        ConversionCase{{"trace", "--json", "--", "-h"}, R"(trace id="-h" json=true)"},
        ConversionCase{{"lint"}, R"(lint json=false changed_since=<absent>)"},
        ConversionCase{{"lint", "--changed-since", "HEAD~1"},
                       R"(lint json=false changed_since="HEAD~1")"},
        ConversionCase{{"review", "--changed-since=main", "--json"},
                       R"(review json=true changed_since="main")"},
        ConversionCase{{"review"}, R"(review json=false changed_since=<absent>)"}));

TEST(CliParse, TakesTheProcessArgumentsAfterTheProgramPath) {
  const std::vector<std::string> arguments{"/any/path/quorvane", "list", "--missing", "doc"};
  CliParse parsed = cli_parse(arguments);
  ASSERT_TRUE(std::holds_alternative<Cli>(parsed));
  EXPECT_EQ(describe(std::get<Cli>(parsed).command), R"(list missing=["doc"] type=[] json=false)");
}

}  // namespace
}  // namespace quorvane
