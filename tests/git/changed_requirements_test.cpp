#include "git/changed_requirements.hpp"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "helpers/git_repo.hpp"
#include "manifest/schema.hpp"

namespace quorvane {
namespace {

using testing::GitRepo;

TEST(ParseRequirementTitles, AbsentTitleIsEmptyAndTheLastOccurrenceWins) {
  const auto titles = parse_requirement_titles(
      "[scan]\nroots = 5\n"  // keys other than ids and titles are not looked at
      "[[requirements]]\nid = \"A\"\ntitle = \"first\"\npriority = 3\n"
      "[[requirements]]\nid = \"B\"\n"
      "[[requirements]]\nid = \"A\"\ntitle = \"second\"\n");
  ASSERT_TRUE(titles.ok()) << titles.error();
  const TitleMap expected = {{"A", "second"}, {"B", ""}};
  EXPECT_EQ(titles.value(), expected);
}

TEST(ParseRequirementTitles, FailureWrapsTheTomlReport) {
  for (const std::string text : {"[[requirements]]\ntitle = \"no id\"\n", "not = toml = at all\n",
                                 "[[requirements]]\nid = 7\n"}) {
    const auto raw = read_raw(text);
    ASSERT_FALSE(raw.ok()) << text;
    const auto titles = parse_requirement_titles(text);
    ASSERT_FALSE(titles.ok()) << text;
    EXPECT_EQ(titles.error(), "parse manifest at ref: " + raw.error());
  }
}

TEST(GitShowError, NamesTheRevisionPathAndKeepsGitsText) {
  EXPECT_EQ(git_show_error("v1:./quorvane.toml", "fatal: bad\n"),
            "git show v1:./quorvane.toml: fatal: bad\n");
}

// The text of the manifest in `dir`, which the lint run hands over as it loaded it.
std::string manifest_in(const std::filesystem::path& dir) {
  std::ifstream file(dir / "quorvane.toml", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string requirement(const std::string& id, const std::string& extra = "") {
  return "[[requirements]]\nid = \"" + id + "\"\n" + extra;
}

TEST(ChangedRequirementsSince, NewAndRetitledCountRemovedAndOtherFieldsDoNot) {
  if (auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  GitRepo repo;
  repo.write(
      "quorvane.toml",
      requirement("RETITLED", "title = \"Login\"\n") + requirement("SAME", "title = \"Keep\"\n") +
          requirement("ABSENT-TO-EMPTY") + requirement("EMPTY-TO-ABSENT", "title = \"\"\n") +
          requirement("CASE", "title = \"Case\"\n") + requirement("SPACE", "title = \"Space\"\n") +
          requirement("OTHER-FIELDS", "title = \"x\"\ntype = \"A\"\npriority = \"could\"\n") +
          requirement("REMOVED", "title = \"bye\"\n") +
          requirement("DUPLICATE", "title = \"early\"\n") +
          requirement("DUPLICATE", "title = \"late\"\n"));
  const auto base = repo.commit_all("base");
  repo.write(
      "quorvane.toml",
      requirement("RETITLED", "title = \"Logout\"\n") + requirement("SAME", "title = \"Keep\"\n") +
          requirement("ABSENT-TO-EMPTY", "title = \"\"\n") + requirement("EMPTY-TO-ABSENT") +
          requirement("CASE", "title = \"case\"\n") + requirement("SPACE", "title = \"Space \"\n") +
          requirement("OTHER-FIELDS", "title = \"x\"\ntype = \"B\"\npriority = \"must\"\n") +
          requirement("DUPLICATE", "title = \"late\"\n") + requirement("NEW"));

  const auto changed = changed_requirements_since(repo.path(), base, manifest_in(repo.path()));
  ASSERT_TRUE(changed.ok()) << changed.error();
  const ChangedRequirements expected = {"RETITLED", "CASE", "SPACE", "NEW"};
  EXPECT_EQ(changed.value(), expected);
}

TEST(ChangedRequirementsSince, NothingChangedGivesAnEmptySet) {
  if (auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  GitRepo repo;
  repo.write("quorvane.toml", requirement("A", "title = \"t\"\n"));
  repo.commit_all();
  const auto changed = changed_requirements_since(repo.path(), "HEAD", manifest_in(repo.path()));
  ASSERT_TRUE(changed.ok()) << changed.error();
  EXPECT_TRUE(changed.value().empty());
}

TEST(ChangedRequirementsSince, EveryRequirementCountsWhenTheOldManifestIsMissingOrUnparsable) {
  if (auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  struct Case {
    const char* name;
    const char* old_manifest;  // nullptr: not in the revision at all
  };
  const Case cases[] = {
      {"not in the revision", nullptr},
      {"broken TOML", "[[requirements\n"},
      {"requirement without id", "[[requirements]]\ntitle = \"A\"\n"},
  };
  for (const auto& c : cases) {
    GitRepo repo;
    repo.write("proj/other.txt", "x\n");
    if (c.old_manifest) repo.write("proj/quorvane.toml", c.old_manifest);
    const auto base = repo.commit_all("base");
    repo.write("proj/quorvane.toml",
               requirement("A", "title = \"t\"\n") + requirement("B", "title = \"u\"\n"));

    const auto changed =
        changed_requirements_since(repo.path() / "proj", base, manifest_in(repo.path() / "proj"));
    ASSERT_TRUE(changed.ok()) << c.name << ": " << changed.error();
    EXPECT_EQ(changed.value(), (ChangedRequirements{"A", "B"})) << c.name;
  }
}

TEST(ChangedRequirementsSince, ReadsTheManifestOfTheProjectDirectoryNotOfTheRepositoryTop) {
  if (auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  GitRepo repo;
  repo.write("quorvane.toml", requirement("TOP"));
  repo.write("proj/quorvane.toml", requirement("A", "title = \"old\"\n"));
  const auto base = repo.commit_all("base");
  repo.write("proj/quorvane.toml", requirement("A", "title = \"new\"\n"));

  const auto changed =
      changed_requirements_since(repo.path() / "proj", base, manifest_in(repo.path() / "proj"));
  ASSERT_TRUE(changed.ok()) << changed.error();
  EXPECT_EQ(changed.value(), (ChangedRequirements{"A"}));
}

TEST(ChangedRequirementsSince, UnknownRevisionIsAnError) {
  if (auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  GitRepo repo;
  repo.write("quorvane.toml", requirement("A"));
  repo.write("sub/x.txt", "x\n");
  repo.commit_all();
  // git repeats the revision in its message, and a revision that names a folder gets git's own
  // "path ... does not exist": none of them names a commit, so none may read as a manifest that
  // was absent there.
  for (const std::string revision : {"no-such-revision", "does not exist", "path 'x",
                                     "exists on disk, but not in", "HEAD:sub"}) {
    SCOPED_TRACE(revision);
    const auto changed =
        changed_requirements_since(repo.path(), revision, manifest_in(repo.path()));
    ASSERT_FALSE(changed.ok());
    EXPECT_TRUE(changed.error().starts_with("git show " + revision + ":./quorvane.toml: fatal: "))
        << changed.error();
    EXPECT_TRUE(changed.error().ends_with("\n")) << changed.error();
  }
}

TEST(ChangedRequirementsSince, RevisionThatLooksLikeAnOptionIsNoOption) {
  if (auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  GitRepo repo;
  repo.write("quorvane.toml", requirement("A"));
  repo.commit_all();
  // Read as an option, "--output=<dir>/out" would make git write "<dir>/out:./quorvane.toml",
  // so the directory "out:." is made ready for it.
  std::filesystem::create_directory(repo.path() / "out:.");
  const std::string revision = "--output=" + (repo.path() / "out").string();

  const auto changed = changed_requirements_since(repo.path(), revision, manifest_in(repo.path()));
  ASSERT_FALSE(changed.ok());
  EXPECT_TRUE(changed.error().starts_with("git show " + revision + ":./quorvane.toml: "))
      << changed.error();
  EXPECT_FALSE(std::filesystem::exists(repo.path() / "out:." / "quorvane.toml"));
}

TEST(ChangedRequirementsSince, UnparsableCurrentManifestComesBeforeGit) {
  // Not a repository: the message shows that git was never asked.
  testing::TempProject project;
  const auto changed = changed_requirements_since(project.path(), "HEAD", "[[requirements]]\n");
  ASSERT_FALSE(changed.ok());
  EXPECT_TRUE(changed.error().starts_with("parse manifest at ref: ")) << changed.error();
}

}  // namespace
}  // namespace quorvane
