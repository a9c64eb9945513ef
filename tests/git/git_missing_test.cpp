// The functions find git through the process's own PATH, so a missing git is shown by running
// the checks below in a child of this test program whose PATH holds only an empty directory.

#include <gtest/gtest.h>

#include "git/changed_lines.hpp"
#include "git/changed_requirements.hpp"
#include "helpers/temp_project.hpp"

namespace quorvane {
namespace {

// Disabled: meaningful only inside the child started below.
TEST(GitNotOnPathChild, DISABLED_DiffCannotStart) {
  testing::TempProject project;
  const auto lines = changed_lines_since(project.path(), "HEAD");
  ASSERT_FALSE(lines.ok());
  EXPECT_EQ(lines.error(), "git diff: No such file or directory (os error 2)");
}

TEST(GitNotOnPathChild, DISABLED_ShowCannotStart) {
  testing::TempProject project;
  project.write("quorvane.toml", "[[requirements]]\nid = \"A\"\n");
  const auto changed = changed_requirements_since(project.path(), "v1.0");
  ASSERT_FALSE(changed.ok());
  EXPECT_EQ(changed.error(),
            "git show v1.0:./quorvane.toml: No such file or directory (os error 2)");
}

TEST(GitNotOnPath, ReportsTheOsErrorForEachGitStep) {
  testing::TempProject empty_bin;
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const auto result = testing::run_process(
      self, {self, "--gtest_also_run_disabled_tests", "--gtest_filter=GitNotOnPathChild.*"},
      testing::RunOptions{{}, {{"PATH", empty_bin.path().string()}}});
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("[  PASSED  ] 2 tests."), std::string::npos) << result.out;
}

}  // namespace
}  // namespace quorvane
