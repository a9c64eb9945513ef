#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "cli_test_support.hpp"
#include "helpers/temp_project.hpp"
#include "invalid_arguments.hpp"
#include "platform/system.hpp"

namespace quorvane {
namespace {

using testing::run_quorvane;
using testing::TempProject;

// The runs in these tests must end in the parser: the directory has no manifest.
const std::map<std::string, std::optional<std::string>> kNoForcedColour{
    {"CLICOLOR_FORCE", std::nullopt}};

TEST(Binary, WithoutArgumentsPrintsHelpOnStandardErrorAndFails) {
  TempProject project;
  const auto result = run_quorvane(project.path(), {}, kNoForcedColour);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_TRUE(result.err.starts_with("Trace requirements via [stage->REQ-ID] tags\n"))
      << result.err;
}

TEST(Binary, HelpAndVersionGoToStandardOutput) {
  TempProject project;
  const auto help = run_quorvane(project.path(), {"--help"}, kNoForcedColour);
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_NE(help.out.find("Usage: quorvane <COMMAND>\n"), std::string::npos) << help.out;

  const auto version = run_quorvane(project.path(), {"--version"}, kNoForcedColour);
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "quorvane 0.1.0\n");
  EXPECT_EQ(version.err, "");
}

TEST(Binary, MistypedSubcommandIsAUsageErrorThatSuggestsTheRightName) {
  TempProject project;
  const auto result = run_quorvane(project.path(), {"lis"}, kNoForcedColour);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("'list'"), std::string::npos) << result.err;
  // Captured through a pipe: no colour.
  EXPECT_EQ(result.err.find('\x1b'), std::string::npos) << result.err;
}

TEST(Binary, ColourFollowsTheEnvironment) {
  TempProject project;
  const auto forced = run_quorvane(project.path(), {"lis"}, {{"CLICOLOR_FORCE", "1"}});
  EXPECT_TRUE(forced.err.starts_with("\x1b[")) << forced.err;
  const auto not_forced = run_quorvane(project.path(), {"lis"}, {{"CLICOLOR_FORCE", "0"}});
  EXPECT_EQ(not_forced.err.find('\x1b'), std::string::npos) << not_forced.err;
}

TEST(Binary, HelpAndUsageErrorsReachPipesAsComposed) {
  // Byte for byte: no line break becomes CR LF on the way.
  TempProject project;
  const auto help = run_quorvane(project.path(), {"help", "check"}, kNoForcedColour);
  EXPECT_EQ(help.out, std::get<CliExit>(testing::parse({"help", "check"})).out_text);
  const auto error = run_quorvane(project.path(), {"lis"}, kNoForcedColour);
  EXPECT_EQ(error.err, std::get<CliExit>(testing::parse({"lis"})).err_text);
}

TEST(Binary, ArgumentThatIsNotUtf8IsRefusedWithTheUsageReport) {
  if (platform::kIsWindows) {
    GTEST_SKIP() << "a Windows command line is UTF-16 and cannot carry bytes that are not UTF-8; "
                    "the test of an unpaired surrogate stands for this one there";
  }
  TempProject project;
  // The last is what an unpaired surrogate of a Windows command line becomes.
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"list", "--type", "caf\xE9"}, {"\xC3\x28"}, {"--help", "x\xED\xA0\x80"}}) {
    const auto result = run_quorvane(project.path(), args, kNoForcedColour);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, testing::kInvalidArgumentReport);
  }
}

TEST(Binary, ArgumentsWithNonAsciiQuotesAndBackslashesReachTheRunUnchanged) {
  // The identifier as the manifest spells it, and as the argument must arrive.
  const std::string id = "REQ-\xC3\x89T\xC3\x89 \xE2\x80\x94 \"q\" \\ 2\\";
  TempProject project;
  project.write(
      "quorvane.toml",
      "[[requirements]]\nid = \"REQ-\xC3\x89T\xC3\x89 \xE2\x80\x94 \\\"q\\\" \\\\ 2\\\\\"\n");
  const auto result = run_quorvane(project.path(), {"trace", id, "--json"}, kNoForcedColour);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("\"id\": \"REQ-\xC3\x89T\xC3\x89 \xE2\x80\x94 \\\"q\\\" \\\\ 2\\\\\""),
            std::string::npos)
      << result.out;
}

}  // namespace
}  // namespace quorvane
