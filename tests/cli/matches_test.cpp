#include "cli/matches.hpp"

#include <gtest/gtest.h>

#include <string>

#include "cli_test_support.hpp"

namespace quorvane {
namespace {

// Parse results that the definition never produces still convert into a clear failure.
TEST(CommandFromMatches, NamesWhatIsMissingOrUnknown) {
  struct Case {
    CliMatches matches;
    std::string failure;
  };
  const auto only = [](std::string name, std::map<std::string, std::vector<std::string>> values,
                       std::map<std::string, bool> flags) {
    return CliMatches{SubcommandMatches{std::move(name), std::move(values), std::move(flags)}};
  };
  const Case cases[] = {
      {CliMatches{}, "a subcommand is required but one was not provided"},
      {only("frob", {}, {{"json", false}}), "the subcommand 'frob' wasn't recognized"},
      {only("List", {}, {{"json", false}}), "the subcommand 'List' wasn't recognized"},
      {only("list", {}, {}), "the following required argument was not provided: json"},
      {only("trace", {}, {{"json", true}}), "the following required argument was not provided: id"},
      {only("check", {}, {{"json", false}}),
       "the following required argument was not provided: fail_on"},
      // Fields are taken in declared order: check's json comes before its fail_on.
      {only("check", {}, {}), "the following required argument was not provided: json"},
      {only("review", {}, {}), "the following required argument was not provided: json"},
  };
  for (const Case& c : cases) {
    Result<Cli> cli = cli_from_matches(c.matches);
    ASSERT_FALSE(cli.ok()) << c.failure;
    EXPECT_EQ(cli.error(), c.failure);
  }
}

TEST(CommandFromMatches, TakesEachFieldFromItsArgumentId) {
  const CliMatches matches{SubcommandMatches{
      "check", {{"req_type", {"B", "A"}}, {"fail_on", {"could"}}}, {{"json", true}}}};
  Result<Cli> cli = cli_from_matches(matches);
  ASSERT_TRUE(cli.ok()) << cli.error();
  EXPECT_EQ(testing::describe(cli.value().command),
            R"(check json=true type=["B", "A"] fail_on="could")");
}

}  // namespace
}  // namespace quorvane
