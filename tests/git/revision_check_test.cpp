#include "git/revision_check.hpp"

#include <string>
#include <variant>

#include <gtest/gtest.h>

#include "helpers/git_repo.hpp"

namespace quorvane {
namespace {

using testing::GitRepo;

std::string trimmed(std::string text) {
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// A repository of two commits, with every kind of object a text can name.
class RevisionCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
    repo_.write("docs/a.md", "a\n");
    first_ = repo_.commit_all("first");
    repo_.git({"tag", "light"});
    repo_.git({"tag", "-a", "-m", "annotated", "v1"});
    repo_.git({"tag", "-a", "-m", "of a tree", "tree-tag", "HEAD^{tree}"});
    repo_.git({"branch", "tracked"});
    repo_.write("docs/a.md", "a\nb\n");
    repo_.commit_all("second");
    repo_.git({"branch", "--set-upstream-to=tracked"});
  }

  GitOutcome check(const std::string& revision) const {
    return check_names_one_commit(repo_.path(), revision);
  }

  GitRepo repo_;
  std::string first_;
};

TEST_F(RevisionCheck, EveryNameOfOneCommitPasses) {
  for (const std::string& revision :
       {std::string("HEAD"), std::string("tracked"), std::string("light"), std::string("v1"),
        first_, first_.substr(0, 12), std::string("HEAD~1"), std::string("HEAD^"),
        std::string("HEAD@{0}"), std::string("@{upstream}"), std::string("v1^0")}) {
    SCOPED_TRACE(revision);
    const GitOutcome outcome = check(revision);
    const auto* succeeded = std::get_if<GitSucceeded>(&outcome);
    ASSERT_NE(succeeded, nullptr) << "outcome index " << outcome.index();
    EXPECT_EQ(succeeded->stdout_text, "");
  }
}

// Ranges and exclusions stand for several commits, trees and blobs for none; git diff and git
// show would take most of them without a word.
TEST_F(RevisionCheck, AnythingElseFailsWithGitsMessage) {
  const std::string blob = trimmed(repo_.git({"rev-parse", "HEAD:docs/a.md"}));
  for (const std::string& revision :
       {std::string("nope"), std::string("HEAD~1..HEAD"), std::string("HEAD~1...HEAD"),
        std::string("..HEAD"), std::string("^HEAD~1"), std::string("HEAD^!"), std::string("HEAD^@"),
        std::string("HEAD^{tree}"), std::string("tree-tag"), std::string("HEAD:docs"),
        std::string("HEAD:docs/a.md"), blob, std::string("docs")}) {
    SCOPED_TRACE(revision);
    const GitOutcome outcome = check(revision);
    const auto* failed = std::get_if<GitFailed>(&outcome);
    ASSERT_NE(failed, nullptr) << "outcome index " << outcome.index();
    EXPECT_TRUE(failed->stderr_text.starts_with("fatal: ") ||
                failed->stderr_text.starts_with("error: "))
        << failed->stderr_text;
    EXPECT_TRUE(failed->stderr_text.ends_with("\n")) << failed->stderr_text;
  }
}

}  // namespace
}  // namespace quorvane
