// End-to-end runs of lint and review narrowed with --changed-since in real git repositories.
#include <gtest/gtest.h>

#include <string>

#include "helpers/git_repo.hpp"

namespace quorvane {
namespace {

using testing::GitRepo;
using testing::ProcessResult;

std::string first_line(const std::string& text) {
  return text.substr(0, text.find('\n'));
}

TEST(LintChangedSince, LintsOnlyNewAndRetitledRequirements) {
  if (const auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  GitRepo repo;
  repo.write("quorvane.toml",
             "[[requirements]]\nid = \"REQ-1\"\ntitle = \"Users sign in with email\"\n"
             "[[requirements]]\nid = \"REQ-2\"\ntitle = \"Sessions expire after idle time\"\n"
             "[[requirements]]\nid = \"REQ-GONE\"\ntitle = \"Removed later on\"\n");
  repo.commit_all();
  repo.write("quorvane.toml",
             "[[requirements]]\nid = \"REQ-1\"\ntitle = \"Users sign in with email\"\n"
             "priority = \"could\"\n"
             "[[requirements]]\nid = \"REQ-2\"\ntitle = \"TBD sessions expire after idle time\"\n"
             "[[requirements]]\nid = \"REQ-3\"\ntitle = \"Accounts\"\npriority = \"should\"\n");

  const ProcessResult result = repo.run_quorvane(repo.path(), {"lint", "--changed-since", "HEAD"});
  EXPECT_EQ(result.status, 1) << result.err;
  EXPECT_EQ(result.out.substr(0, result.out.find("\n\n") + 2),
            "Requirement quality findings (2); 2 requirements queued for agent review:\n"
            "  [must] requirement_quality REQ-2 criterion=tbd-todo \u2014 title contains "
            "placeholder marker 'TBD'\n"
            "  [should] requirement_quality REQ-3 criterion=length \u2014 title is 1 word(s); want "
            "3..=25\n\n");
  EXPECT_NE(result.out.find("You are reviewing 2 requirement(s)"), std::string::npos);
  EXPECT_NE(result.out.find("### REQ-2\n"), std::string::npos);
  EXPECT_NE(result.out.find("### REQ-3\n"), std::string::npos);
  EXPECT_EQ(result.out.find("### REQ-1\n"), std::string::npos);
  EXPECT_EQ(result.out.find("REQ-GONE"), std::string::npos);
}

TEST(LintChangedSince, NothingChangedLeavesNoRequirement) {
  if (const auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  GitRepo repo;
  repo.write("quorvane.toml", "[[requirements]]\nid = \"REQ-1\"\ntitle = \"x\"\n");
  repo.commit_all();
  const ProcessResult result = repo.run_quorvane(repo.path(), {"lint", "--changed-since", "HEAD"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(first_line(result.out), "Requirement quality: no deterministic findings.");
  EXPECT_NE(result.out.find("You are reviewing 0 requirement(s)"), std::string::npos);
}

TEST(LintChangedSince, ManifestAbsentAtTheRevisionCountsEveryRequirement) {
  if (const auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  GitRepo repo;
  repo.write("README.md", "start\n");
  repo.commit_all();
  repo.write("quorvane.toml", "[[requirements]]\nid = \"REQ-1\"\ntitle = \"One two three\"\n");
  const ProcessResult result = repo.run_quorvane(repo.path(), {"lint", "--changed-since", "HEAD"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(first_line(result.out),
            "Requirement quality: no deterministic findings; 1 requirement queued for agent "
            "review.");
}

TEST(ReviewChangedSince, KeepsOnlyTagsOnAddedLines) {
  if (const auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  GitRepo repo;
  repo.write("quorvane.toml",
             "[[requirements]]\nid = \"REQ-1\"\ntitle = \"First\"\n"
             "[[requirements]]\nid = \"REQ-2\"\n"
             "[[signoffs]]\nrequirement = \"REQ-2\"\nstage = \"doc\"\nurl = \"https://x\"\n");
  repo.write("src/a.rs", "// [impl->REQ-1]\nfn a() {}\n");
  repo.commit_all();
  repo.write("src/a.rs", "// [impl->REQ-1]\nfn a() {}\n// [unit->REQ-1] [doc->REQ-2]\n");
  repo.write("src/new.py", "# [impl->REQ-2]\n");
  repo.git({"add", "src/new.py"});  // git diff sees tracked files only

  const ProcessResult result =
      repo.run_quorvane(repo.path(), {"review", "--changed-since", "HEAD"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(first_line(result.out),
            "Tag placement review: no deterministic findings; 3 tag placements queued for agent "
            "review.");
  EXPECT_NE(result.out.find("### REQ-1 \u2014 First\n- unit  src/a.rs:3\n\n"
                            "### REQ-2 \u2014 (no title)\n- doc  src/a.rs:3\n- impl  src/new.py:1\n"
                            "\n"),
            std::string::npos);
  EXPECT_EQ(result.out.find("src/a.rs:1"), std::string::npos);
}

TEST(ChangedSince, GitFailuresEndWithTheirMessage) {
  if (const auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  GitRepo repo;
  repo.write("quorvane.toml", "");
  repo.commit_all();

  const ProcessResult lint = repo.run_quorvane(repo.path(), {"lint", "--changed-since", "nope"});
  EXPECT_EQ(lint.status, 2);
  EXPECT_EQ(lint.out, "");
  EXPECT_EQ(lint.err, "git show nope:./quorvane.toml: fatal: invalid object name 'nope'.\n\n");

  const ProcessResult review =
      repo.run_quorvane(repo.path(), {"review", "--changed-since", "nope"});
  EXPECT_EQ(review.status, 2);
  EXPECT_EQ(review.out, "");
  EXPECT_EQ(review.err.rfind("git diff failed: fatal: ", 0), 0u) << review.err;
}

// Runs on every build: git is never started, so a missing one changes nothing.
TEST(ChangedSince, FaultyManifestIsReportedBeforeGit) {
  GitRepo repo;
  repo.write("quorvane.toml", "[scan]\nroots = [\"missing\"]\n");
  for (const char* command : {"lint", "review"}) {
    const ProcessResult result =
        repo.run_quorvane(repo.path(), {command, "--changed-since", "nope"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "manifest_error: scan root 'missing' is unreadable or does not exist\n");
  }
}

}  // namespace
}  // namespace quorvane
