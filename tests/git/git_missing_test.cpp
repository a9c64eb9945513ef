// The functions find git through the process's own PATH, so a missing git is shown by running
// the checks below in a child of this test program whose PATH holds only an empty directory.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "git/changed_lines.hpp"
#include "git/changed_requirements.hpp"
#include "helpers/environment.hpp"
#include "helpers/temp_project.hpp"
#include "platform/os_error.hpp"
#include "platform/paths.hpp"
#include "platform/system.hpp"

namespace quorvane {
namespace {

// Disabled: meaningful only inside the child started below.
TEST(GitNotOnPathChild, DISABLED_DiffCannotStart) {
  testing::TempProject project;
  const auto lines = changed_lines_since(project.path(), "HEAD");
  ASSERT_FALSE(lines.ok());
  EXPECT_EQ(lines.error(), "git diff: " + platform::os_error_text(2));
}

TEST(GitNotOnPathChild, DISABLED_ShowCannotStart) {
  testing::TempProject project;
  const auto changed =
      changed_requirements_since(project.path(), "v1.0", "[[requirements]]\nid = \"A\"\n");
  ASSERT_FALSE(changed.ok());
  EXPECT_EQ(changed.error(), "git show v1.0:./quorvane.toml: " + platform::os_error_text(2));
}

// Runs the checks above in a child in `cwd` whose PATH is an empty directory, after `relative`
// entries.
testing::ProcessResult run_children_without_git(const std::filesystem::path& cwd,
                                                const std::vector<std::string>& relative = {}) {
  testing::TempProject empty_bin;
  std::string path;
  for (const std::string& entry : relative) path += entry + (platform::kIsWindows ? ";" : ":");
  path += platform::path_bytes(empty_bin.path());
  const std::string self = platform::path_bytes(testing::running_program());
  return testing::run_process(
      self, {self, "--gtest_also_run_disabled_tests", "--gtest_filter=GitNotOnPathChild.*"},
      testing::RunOptions{cwd, {{"PATH", path}}});
}

TEST(GitNotOnPath, ReportsTheOsErrorForEachGitStep) {
  const auto result = run_children_without_git({});
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("[  PASSED  ] 2 tests."), std::string::npos) << result.out;
}

TEST(GitNotOnPath, AGitInTheCurrentDirectoryIsNeverStarted) {
  // A repository may carry a file named git: only the absolute folders of PATH say which
  // program runs. An empty entry, "." and a relative folder all lead into the repository.
  testing::TempProject here;
  const std::string file = platform::kIsWindows ? "git.exe" : "git";
  here.mkdir("bin");
  for (const auto& copy : {here.path() / file, here.path() / "bin" / file}) {
    std::filesystem::copy_file(platform::path_from_utf8(QUORVANE_STAND_IN), copy);
  }
  for (const auto& relative : std::vector<std::vector<std::string>>{
           {}, {""}, {"."}, {"bin"}, {"./bin"}, {"", ".", "bin", "./bin", ""}}) {
    std::string shown;
    for (const std::string& entry : relative) shown += "[" + entry + "]";
    SCOPED_TRACE(shown);
    const auto result = run_children_without_git(here.path(), relative);
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("[  PASSED  ] 2 tests."), std::string::npos) << result.out;
  }
}

}  // namespace
}  // namespace quorvane
