#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "helpers/temp_project.hpp"

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

}  // namespace
}  // namespace quorvane
