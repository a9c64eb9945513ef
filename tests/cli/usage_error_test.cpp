#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "cli_test_support.hpp"

namespace quorvane {
namespace {

using testing::parse;

struct UsageCase {
  std::vector<std::string> arguments;
  std::string reported;      // a fragment the report must hold
  std::string not_reported;  // a fragment it must not hold, or empty
};

std::string show(const std::vector<std::string>& arguments) {
  return testing::shown_arguments(arguments);
}

void PrintTo(const UsageCase& c, std::ostream* os) {
  *os << show(c.arguments);
}

class UsageErrors : public ::testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrors, ReportOnStandardErrorWithStatusTwo) {
  const UsageCase& c = GetParam();
  CliParse parsed = parse(c.arguments);
  ASSERT_TRUE(std::holds_alternative<CliExit>(parsed)) << show(c.arguments);
  const CliExit& exit = std::get<CliExit>(parsed);
  EXPECT_EQ(exit.status, 2) << show(c.arguments);
  EXPECT_EQ(exit.out_text, "") << show(c.arguments);
  EXPECT_TRUE(exit.err_text.starts_with("error: ")) << exit.err_text;
  EXPECT_TRUE(exit.err_text.ends_with("For more information, try '--help'.\n")) << exit.err_text;
  EXPECT_NE(exit.err_text.find(c.reported), std::string::npos) << exit.err_text;
  if (!c.not_reported.empty()) {
    EXPECT_EQ(exit.err_text.find(c.not_reported), std::string::npos) << exit.err_text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, UsageErrors,
    ::testing::Values(
        // Unknown subcommands, with a suggestion only when one is close.
        UsageCase{{"lis"}, "tip: a similar subcommand exists: 'list'", ""},
        UsageCase{{"chec"}, "unrecognized subcommand 'chec'", ""},
        UsageCase{{"revew", "--json"}, "'review'", ""},
        UsageCase{{"xyzzy"}, "unrecognized subcommand 'xyzzy'", "tip:"},
        UsageCase{{"test"}, "unrecognized subcommand 'test'", "tip:"},
        UsageCase{{"LIST"}, "unrecognized subcommand 'LIST'", ""},
        UsageCase{{"help", "lis"}, "'list'", ""},
        UsageCase{{"help", "check", "list"}, "unexpected argument 'list'", ""},
        // Options the command they follow does not define.
        UsageCase{{"--json", "list"}, "unexpected argument '--json' found", ""},
        UsageCase{{"list", "--jsn"}, "tip: a similar argument exists: '--json'", ""},
        UsageCase{{"list", "--jso"}, "unexpected argument '--jso' found", ""},
        UsageCase{{"list", "--JSON"}, "unexpected argument '--JSON' found", ""},
        UsageCase{{"check", "--fail"}, "'--fail-on'", ""},
        UsageCase{{"lint", "--type", "X"}, "unexpected argument '--type' found", ""},
        UsageCase{{"list", "--version"}, "unexpected argument '--version' found", ""},
        UsageCase{{"list", "-V"}, "unexpected argument '-V' found", ""},
        UsageCase{{"check", "-j"}, "unexpected argument '-j' found", ""},
        UsageCase{{"-x"}, "unexpected argument '-x' found", ""},
        // Tips that point to where an option belongs.
        UsageCase{{"--changed-since", "HEAD", "lint"},
                  "tip: '--changed-since' is an option of a subcommand; write it after the "
                  "subcommand name, as in 'quorvane lint --changed-since'",
                  ""},
        UsageCase{{"--typ"},
                  "tip: a similar argument of a subcommand exists: '--type'; write it after the "
                  "subcommand name",
                  ""},
        UsageCase{{"list", "--version"},
                  "tip: '--version' belongs to the command itself, before any subcommand, as in "
                  "'quorvane --version'",
                  ""},
        UsageCase{{"check", "-Vh"}, "tip: '-V' belongs to the command itself", ""},
        UsageCase{{"help", "--hel"},
                  "tip: a similar argument exists: '--help'\n\nUsage: quorvane help [COMMAND]\n",
                  ""},
        // Values.
        UsageCase{
            {"lint", "--changed-since"}, "a value is required for '--changed-since <REF>'", ""},
        UsageCase{{"list", "--type", "--json"}, "use '--type=--json'", ""},
        UsageCase{{"list", "--json=x"}, "unexpected value 'x' for '--json'", ""},
        UsageCase{{"list", "--json="}, "unexpected value '' for '--json'", ""},
        UsageCase{{"--version=2"}, "unexpected value '2' for '--version'", ""},
        // Occurrences.
        UsageCase{{"review", "--json", "--json"}, "'--json' cannot be used multiple times", ""},
        UsageCase{{"check", "--fail-on", "must", "--fail-on=could"},
                  "'--fail-on <LEVEL>' cannot be used multiple times",
                  ""},
        UsageCase{{"lint", "--changed-since", "a", "--changed-since", "b"},
                  "'--changed-since <REF>' cannot be used multiple times",
                  ""},
        UsageCase{{"trace"}, "the following required arguments were not provided:\n  <ID>", ""},
        UsageCase{{"trace", "--json"}, "<ID>", ""},
        UsageCase{{"trace", "REQ-A-1", "REQ-B-2"}, "unexpected argument 'REQ-B-2' found", ""},
        UsageCase{{"list", "extra"}, "unexpected argument 'extra' found", ""},
        UsageCase{{"--"},
                  "'quorvane' requires a subcommand but one was not provided\n"
                  "  [subcommands: list, trace, check, lint, review, help]\n",
                  ""},
        // Text that is not UTF-8 is refused, and never echoed raw.
        UsageCase{{"list", "--type", "caf\xE9"}, "invalid UTF-8", "caf\xE9"},
        UsageCase{{"\xC3\x28"}, "invalid UTF-8", ""}));

TEST(UsageErrorReport, HasTheMessageTipUsageAndHelpPointerInBlocks) {
  CliExit exit = std::get<CliExit>(parse({"lis"}));
  EXPECT_EQ(exit.err_text,
            "error: unrecognized subcommand 'lis'\n"
            "\n"
            "  tip: a similar subcommand exists: 'list'\n"
            "\n"
            "Usage: quorvane <COMMAND>\n"
            "\n"
            "For more information, try '--help'.\n");
}

TEST(UsageErrorReport, ShowsTheUsageOfTheSubcommandBeingParsed) {
  CliExit exit = std::get<CliExit>(parse({"trace", "A", "B"}));
  EXPECT_NE(exit.err_text.find("\nUsage: quorvane trace [OPTIONS] <ID>\n"), std::string::npos)
      << exit.err_text;
}

TEST(UsageErrorReport, EmptyRevisionIsRefusedAsAMissingOne) {
  // A script's --changed-since "$BASE_REF" with an empty variable: git would take "" for the
  // staged manifest and report that nothing changed. The following option gets no tip: it was
  // never the value.
  for (const std::string command : {"lint", "review"}) {
    const std::string missing = std::get<CliExit>(parse({command, "--changed-since"})).err_text;
    EXPECT_EQ(missing,
              "error: a value is required for '--changed-since <REF>' but none was "
              "supplied\n\nUsage: quorvane " +
                  command + " [OPTIONS]\n\nFor more information, try '--help'.\n");
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{command, "--changed-since", ""},
                                               {command, "--changed-since="},
                                               {command, "--changed-since", "", "--json"},
                                               {command, "--json", "--changed-since="}}) {
      CliParse parsed = parse(arguments);
      ASSERT_TRUE(std::holds_alternative<CliExit>(parsed)) << show(arguments);
      const CliExit& exit = std::get<CliExit>(parsed);
      EXPECT_EQ(exit.status, 2) << show(arguments);
      EXPECT_EQ(exit.out_text, "") << show(arguments);
      EXPECT_EQ(exit.err_text, missing) << show(arguments);
    }
  }
}

TEST(UsageErrorReport, EchoesControlCharactersAsEscapes) {
  CliExit exit = std::get<CliExit>(parse({"list", "--x\x1b[2J"}));
  EXPECT_NE(exit.err_text.find("'--x\\u{1b}[2J'"), std::string::npos) << exit.err_text;
  EXPECT_EQ(exit.err_text.find('\x1b'), std::string::npos);
}

}  // namespace
}  // namespace quorvane
