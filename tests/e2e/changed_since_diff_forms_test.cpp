// End-to-end runs of review --changed-since where git's output takes forms that a naive reader of
// the diff gets wrong: user settings that change the diff, quoted file names, added lines that
// look like headers. Each run must list exactly the tags on the added lines, in text and JSON.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "e2e/queued_items.hpp"
#include "helpers/git_repo.hpp"

namespace quorvane {
namespace {

using testing::GitRepo;
using testing::review_placements;

constexpr const char* kManifest =
    "[[requirements]]\nid = \"REQ-1\"\ntitle = \"First\"\n"
    "[[requirements]]\nid = \"REQ-2\"\n";

struct SettingsCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> settings;  // in the user's global config
};

class ReviewUnderUserSettings : public ::testing::TestWithParam<SettingsCase> {};

// The project lies in a subdirectory of the repository (for diff.relative); the two added tags
// are three unchanged lines apart (for diff.interHunkContext); and a committed .gitattributes
// names a diff driver for Markdown, which does something only where a setting defines it (a
// textconv that drops the first line shifts every number by one).
TEST_P(ReviewUnderUserSettings, ListsExactlyTheTagsOnAddedLines) {
  if (const auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  GitRepo repo;
  repo.write(".gitattributes", "*.md diff=strip\n");
  repo.write("proj/quorvane.toml", kManifest);
  repo.write("proj/docs/a.md", "[unit->REQ-1] existing\nline 2\nline 3\nline 4\nline 5\n");
  const auto base = repo.commit_all("base");
  repo.write("proj/docs/a.md",
             "[unit->REQ-1] existing\n[impl->REQ-1] added\nline 2\nline 3\nline 4\n"
             "[doc->REQ-2] added\nline 5\n");
  for (const auto& [key, value] : GetParam().settings) repo.configure(key, value);

  const auto placements = review_placements(repo, repo.path() / "proj", base);
  const std::string expected =
      "### REQ-1 \u2014 First\n- impl  docs/a.md:2\n\n"
      "### REQ-2 \u2014 (no title)\n- doc  docs/a.md:6\n\n";
  EXPECT_EQ(placements.text, expected);
  EXPECT_EQ(placements.json, expected);
}

const SettingsCase kSettingsCases[] = {
    {"NoSettings", {}},
    {"NoPrefix", {{"diff.noprefix", "true"}}},
    {"MnemonicPrefix", {{"diff.mnemonicPrefix", "true"}}},
    {"RelativeInASubdirectory", {{"diff.relative", "true"}}},
    {"InterHunkContext", {{"diff.interHunkContext", "5"}}},
    {"Textconv", {{"diff.strip.textconv", "sed 1d"}}},
    {"ExternalDiff", {{"diff.external", "false"}}},
    {"ColourAlways", {{"color.ui", "always"}}},
    {"AllAtOnce",
     {{"diff.noprefix", "true"},
      {"diff.mnemonicPrefix", "true"},
      {"diff.relative", "true"},
      {"diff.interHunkContext", "5"},
      {"diff.strip.textconv", "sed 1d"},
      {"diff.external", "false"},
      {"color.ui", "always"}}},
};

INSTANTIATE_TEST_SUITE_P(Settings, ReviewUnderUserSettings, ::testing::ValuesIn(kSettingsCases),
                         [](const auto& info) { return std::string(info.param.name); });

// git quotes a name that holds a tab, a quote or (by default) a non-ASCII byte, and puts a tab
// after a name that holds a space. The edited file comes first in the diff: a header read wrongly
// would leave it current, and its untouched tagged line 1 would be listed.
TEST(ReviewChangedSince, NewFilesWithNamesThatGitQuotes) {
  if (const auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  for (const char* quote_path : {"true", "false"}) {
    SCOPED_TRACE(std::string("core.quotePath=") + quote_path);
    GitRepo repo;
    repo.write("quorvane.toml", kManifest);
    repo.write("docs/a.md", "[unit->REQ-1] existing\n");
    const auto base = repo.commit_all("base");
    repo.write("docs/a.md", "[unit->REQ-1] existing\nmore\n");
    repo.write("docs/\u00e4.md", "[impl->REQ-1]\n");
    repo.write("docs/t\tab.md", "intro\n[doc->REQ-2]\n");
    repo.write("docs/my notes.md", "[int->REQ-2]\n");
    repo.write("docs/\"q\".md", "intro\nintro\n[unit->REQ-2]\n");
    repo.git({"add", "-A"});  // git diff sees tracked files only
    repo.configure("core.quotePath", quote_path);

    const auto placements = review_placements(repo, repo.path(), base);
    const std::string expected =
        "### REQ-1 \u2014 First\n- impl  docs/\u00e4.md:1\n\n"
        "### REQ-2 \u2014 (no title)\n- doc  docs/t\tab.md:2\n- int  docs/my notes.md:1\n"
        "- unit  docs/\"q\".md:3\n\n";
    EXPECT_EQ(placements.text, expected);
    EXPECT_EQ(placements.json, expected);
  }
}

// An added text that begins with "++" shows in the diff as "+++...", like a file header.
TEST(ReviewChangedSince, AddedLinesBeginningWithPlusPlusAboveATag) {
  if (const auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  GitRepo repo;
  repo.write("quorvane.toml", kManifest);
  repo.write("src/count.cpp", "int f(int i) {\n  return i;\n}\n");
  repo.write("docs/notes.md", "intro\n");
  const auto base = repo.commit_all("base");
  repo.write("src/count.cpp", "int f(int i) {\n++i;\n// [impl->REQ-1]\n  return i;\n}\n");
  repo.write("docs/notes.md", "intro\n++ b/elsewhere.md\n[doc->REQ-2]\n");

  const auto placements = review_placements(repo, repo.path(), base);
  const std::string expected =
      "### REQ-1 \u2014 First\n- impl  src/count.cpp:3\n\n"
      "### REQ-2 \u2014 (no title)\n- doc  docs/notes.md:3\n\n";
  EXPECT_EQ(placements.text, expected);
  EXPECT_EQ(placements.json, expected);
}

}  // namespace
}  // namespace quorvane
