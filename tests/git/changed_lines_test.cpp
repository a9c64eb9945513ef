#include "git/changed_lines.hpp"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "helpers/git_repo.hpp"

namespace quorvane {
namespace {

using testing::GitRepo;

TEST(ChangedLinesSince, AddedLinesOfEditedAndNewFilesButNotOfDeletedOnes) {
  if (auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  GitRepo repo;
  repo.write("src/a.c", "one\ntwo\nthree\n");
  repo.write("gone.c", "x\ny\n");
  repo.write("same.c", "unchanged\n");
  const auto base = repo.commit_all("base");

  // Committed after the base, then edited further in the working tree: both count.
  repo.write("src/a.c", "one\ninserted\ntwo\nthree\n");
  repo.write("src/new.c", "n1\nn2\n");
  repo.commit_all("second");
  repo.write("src/a.c", "one\ninserted\ntwo\nthree\nappended\n");
  repo.remove("gone.c");

  const auto lines = changed_lines_since(repo.path(), base);
  ASSERT_TRUE(lines.ok()) << lines.error();
  const ChangedLines expected = {{"src/a.c", {2, 5}}, {"src/new.c", {1, 2}}};
  EXPECT_EQ(lines.value(), expected);
}

TEST(ChangedLinesSince, ProjectInASubdirectoryGetsPathsRelativeToItself) {
  if (auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  // A folder's name may begin or end with a space, which the prefix keeps.
  for (const std::string project : {"proj", " proj", "proj ", "outer/ inner "}) {
    SCOPED_TRACE("[" + project + "]");
    GitRepo repo;
    repo.write("top.c", "t\n");
    repo.write(project + "/src/a.c", "a\n");
    repo.write(project + "-other/b.c", "b\n");
    const auto base = repo.commit_all("base");
    repo.write("top.c", "t\nmore\n");
    repo.write(project + "/src/a.c", "a\nmore\n");
    repo.write(project + "-other/b.c", "b\nmore\n");

    const auto lines = changed_lines_since(repo.path() / project, base);
    ASSERT_TRUE(lines.ok()) << lines.error();
    const ChangedLines expected = {{"src/a.c", {2}}};
    EXPECT_EQ(lines.value(), expected);
  }
}

TEST(ChangedLinesSince, NothingChangedGivesAnEmptyMap) {
  if (auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  GitRepo repo;
  repo.write("a.c", "a\n");
  repo.commit_all();
  repo.write("untracked.c", "not part of the diff\n");
  const auto lines = changed_lines_since(repo.path(), "HEAD");
  ASSERT_TRUE(lines.ok()) << lines.error();
  EXPECT_TRUE(lines.value().empty());
}

TEST(ChangedLinesSince, UnknownRevisionReportsGitsErrorUntrimmed) {
  if (auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  GitRepo repo;
  repo.write("a.c", "a\n");
  repo.commit_all();
  repo.write("a.c", "a\nb\n");
  // Names of a file and of a folder with uncommitted edits are no revisions either. git names
  // the text it was asked to take for a commit.
  for (const std::string revision : {"no-such-revision", "a.c", "."}) {
    SCOPED_TRACE(revision);
    const auto lines = changed_lines_since(repo.path(), revision);
    ASSERT_FALSE(lines.ok());
    EXPECT_TRUE(lines.error().starts_with("git diff failed: fatal: ")) << lines.error();
    EXPECT_NE(lines.error().find(" " + revision + "^{commit}"), std::string::npos) << lines.error();
    EXPECT_TRUE(lines.error().ends_with("\n")) << lines.error();
  }
}

TEST(ChangedLinesSince, OutsideARepositoryTheDiffFails) {
  if (auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  testing::TempProject plain;
  const auto lines = changed_lines_since(plain.path(), "HEAD");
  ASSERT_FALSE(lines.ok());
  EXPECT_TRUE(lines.error().starts_with("git diff failed: ")) << lines.error();
}

TEST(ChangedLinesSince, RevisionThatLooksLikeAnOptionIsNoOption) {
  if (auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  GitRepo repo;
  repo.write("a.c", "a\n");
  repo.commit_all();
  repo.write("a.c", "a\nb\n");
  const auto target = repo.path() / "written-by-git";

  const auto lines = changed_lines_since(repo.path(), "--output=" + target.string());
  ASSERT_FALSE(lines.ok());
  EXPECT_TRUE(lines.error().starts_with("git diff failed: ")) << lines.error();
  EXPECT_FALSE(std::filesystem::exists(target));
}

}  // namespace
}  // namespace quorvane
