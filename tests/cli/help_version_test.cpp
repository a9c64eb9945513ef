#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "cli_test_support.hpp"

namespace quorvane {
namespace {

using testing::parse;

const char* const kTopHelp =
    "Trace requirements via [stage->REQ-ID] tags\n"
    "\n"
    "Usage: quorvane <COMMAND>\n"
    "\n"
    "Commands:\n"
    "  list\n"
    "  trace\n"
    "  check\n"
    "  lint\n"
    "  review\n"
    "  help    Print this message or the help of the given subcommand(s)\n"
    "\n"
    "Options:\n"
    "  -h, --help     Print help\n"
    "  -V, --version  Print version\n";

const char* const kCheckHelp =
    "Usage: quorvane check [OPTIONS]\n"
    "\n"
    "Options:\n"
    "      --json\n"
    "      --type <TYPE>\n"
    "      --fail-on <LEVEL>  Lowest priority that fails check. Findings below this level still "
    "print but do not change the exit code. Default: must [default: must]\n"
    "  -h, --help             Print help\n";

const char* const kTraceHelp =
    "Usage: quorvane trace [OPTIONS] <ID>\n"
    "\n"
    "Arguments:\n"
    "  <ID>\n"
    "\n"
    "Options:\n"
    "      --json\n"
    "  -h, --help  Print help\n";

const char* const kListHelp =
    "Usage: quorvane list [OPTIONS]\n"
    "\n"
    "Options:\n"
    "      --missing <STAGE>\n"
    "      --type <TYPE>\n"
    "      --json\n"
    "  -h, --help             Print help\n";

// lint and review share their options and differ in the usage line alone.
std::string changed_since_help(const std::string& subcommand) {
  return "Usage: quorvane " + subcommand +
         " [OPTIONS]\n"
         "\n"
         "Options:\n"
         "      --json\n"
         "      --changed-since <REF>\n"
         "  -h, --help                 Print help\n";
}
const std::string kLintHelp = changed_since_help("lint");
const std::string kReviewHelp = changed_since_help("review");

CliExit exit_of(const std::vector<std::string>& arguments) {
  CliParse parsed = parse(arguments);
  EXPECT_TRUE(std::holds_alternative<CliExit>(parsed));
  return std::holds_alternative<CliExit>(parsed) ? std::get<CliExit>(parsed) : CliExit{-1, "", ""};
}

struct PageCase {
  std::vector<std::string> arguments;
  std::string page;
};

void PrintTo(const PageCase& c, std::ostream* os) {
  *os << testing::shown_arguments(c.arguments);
}

class HelpPages : public ::testing::TestWithParam<PageCase> {};

TEST_P(HelpPages, GoToStandardOutputWithStatusZero) {
  const CliExit exit = exit_of(GetParam().arguments);
  EXPECT_EQ(exit.status, 0);
  EXPECT_EQ(exit.out_text, GetParam().page);
  EXPECT_EQ(exit.err_text, "");
}

INSTANTIATE_TEST_SUITE_P(Arguments, HelpPages,
                         ::testing::Values(PageCase{{"--help"}, kTopHelp},
                                           PageCase{{"-h"}, kTopHelp}, PageCase{{"help"}, kTopHelp},
                                           PageCase{{"help", "check"}, kCheckHelp},
                                           PageCase{{"check", "--help"}, kCheckHelp},
                                           // Help wins over what is missing or wrong further on.
                                           PageCase{{"trace", "-h"}, kTraceHelp},
                                           PageCase{{"list", "--json", "-h", "--bogus"}, kListHelp},
                                           PageCase{{"help", "list"}, kListHelp},
                                           PageCase{{"lint", "--help"}, kLintHelp},
                                           PageCase{{"help", "review"}, kReviewHelp}));

TEST(Version, IsOneLineOnStandardOutput) {
  for (const char* flag : {"--version", "-V"}) {
    const CliExit exit = exit_of({flag});
    EXPECT_EQ(exit.status, 0);
    EXPECT_EQ(exit.out_text, "quorvane 0.1.0\n");
    EXPECT_EQ(exit.err_text, "");
  }
}

TEST(BareCommand, PrintsTheTopHelpOnStandardErrorWithStatusTwo) {
  const CliExit exit = exit_of({});
  EXPECT_EQ(exit.status, 2);
  EXPECT_EQ(exit.out_text, "");
  EXPECT_EQ(exit.err_text, kTopHelp);
}

TEST(HelpSubcommand, HasAHelpPageOfItsOwn) {
  const CliExit exit = exit_of({"help", "help"});
  EXPECT_EQ(exit.status, 0);
  EXPECT_TRUE(exit.out_text.starts_with("Print this message or the help of the given"))
      << exit.out_text;
  EXPECT_NE(exit.out_text.find("Usage: quorvane help [COMMAND]\n"), std::string::npos);
}

}  // namespace
}  // namespace quorvane
