// End-to-end runs of lint and review narrowed with --changed-since in real git repositories.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "e2e/queued_items.hpp"
#include "helpers/environment.hpp"
#include "helpers/git_repo.hpp"
#include "platform/os_error.hpp"
#include "platform/paths.hpp"

namespace quorvane {
namespace {

using testing::GitRepo;
using testing::ProcessResult;
using Variables = std::map<std::string, std::optional<std::string>>;

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
  repo.write("docs/a.md", "intro\n");
  const std::string hash = repo.commit_all();
  repo.git({"tag", "-a", "-m", "first", "v1"});
  repo.git({"branch", "docs"});  // named like a folder of the project
  repo.write("quorvane.toml", "[[requirements]]\nid = \"REQ-1\"\ntitle = \"One two three\"\n");
  const ProcessResult result = repo.run_quorvane(repo.path(), {"lint", "--changed-since", "HEAD"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(first_line(result.out),
            "Requirement quality: no deterministic findings; 1 requirement queued for agent "
            "review.");

  // Every text that names the commit, an annotated tag's included, finds the manifest absent.
  const std::string queued =
      "### REQ-1\n- Title: One two three\n- Required stages: doc, impl, unit\n\n";
  for (const std::string& revision :
       {std::string("HEAD"), hash, std::string("v1"), std::string("docs"), std::string("HEAD~0")}) {
    SCOPED_TRACE(revision);
    const auto requirements = testing::lint_requirements(repo, repo.path(), revision);
    EXPECT_EQ(requirements.text, queued);
    EXPECT_EQ(requirements.json, queued);
  }
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

TEST(ReviewChangedSince, ProjectFolderWhoseNameBeginsOrEndsWithASpace) {
  if (const auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
  for (const std::string folder : {" proj", "proj ", " two words "}) {
    SCOPED_TRACE("[" + folder + "]");
    GitRepo repo;
    repo.write(folder + "/quorvane.toml", "[[requirements]]\nid = \"REQ-1\"\ntitle = \"First\"\n");
    repo.write(folder + "/docs/a.md", "[unit->REQ-1] existing\n");
    const auto base = repo.commit_all("base");
    repo.write(folder + "/docs/a.md", "[unit->REQ-1] existing\n[impl->REQ-1] added\n");

    const auto placements = testing::review_placements(repo, repo.path() / folder, base);
    const std::string expected = "### REQ-1 \u2014 First\n- impl  docs/a.md:2\n\n";
    EXPECT_EQ(placements.text, expected);
    EXPECT_EQ(placements.json, expected);
  }
}

// A program named git that only leaves a mark, put where git must never be looked for: the mark
// tells whether it was started. Were it started, it would fail the run as well.
class FakeGit {
 public:
  explicit FakeGit(const std::vector<std::filesystem::path>& folders) {
    for (const auto& folder : folders) {
      const auto file = folder / "git";
      std::filesystem::create_directories(folder);
      std::ofstream(file, std::ios::binary)
          << "#!/bin/sh\necho started >> '" << platform::path_bytes(mark())
          << "'\necho 'not git' >&2\nexit 1\n";
      std::filesystem::permissions(file, std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add);
    }
  }
  bool started() const { return std::filesystem::exists(mark()); }

 private:
  std::filesystem::path mark() const { return marks_.path() / "started"; }
  testing::TempProject marks_;
};

// A repository with a docs/ folder whose base commit has REQ-1; since then REQ-2 was added to the
// manifest and a tag to docs/a.md, neither committed. What the runs queue since "base":
constexpr const char* kQueuedSinceBase =
    "### REQ-2\n- Title: Sessions expire after idle time\n- Required stages: doc, impl, unit\n\n";
constexpr const char* kPlacedSinceBase =
    "### REQ-1 \u2014 Users sign in with email\n- impl  docs/a.md:2\n\n";

class SinceBase : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const auto reason = testing::why_real_git_is_unavailable()) GTEST_SKIP() << *reason;
    const std::string manifest =
        "[[requirements]]\nid = \"REQ-1\"\ntitle = \"Users sign in with email\"\n";
    repo_.write("quorvane.toml", manifest);
    repo_.write("docs/a.md", "intro\n");
    repo_.commit_all("base");
    repo_.git({"tag", "base"});
    repo_.write("quorvane.toml",
                manifest +
                    "[[requirements]]\nid = \"REQ-2\"\ntitle = \"Sessions expire after "
                    "idle time\"\n");
    repo_.write("docs/a.md", "intro\n[impl->REQ-1]\n");
  }

  // The test's own PATH, on which the real git is found.
  static std::string own_path() { return testing::own_variable("PATH").value_or("/usr/bin:/bin"); }

  // The runs of `arguments` in the repository, in the text form and then with --json.
  std::vector<ProcessResult> in_both_forms(std::vector<std::string> arguments,
                                           const Variables& extra = {}) const {
    std::vector<ProcessResult> results{repo_.run_quorvane(repo_.path(), arguments, extra)};
    arguments.emplace_back("--json");
    results.push_back(repo_.run_quorvane(repo_.path(), arguments, extra));
    return results;
  }

  GitRepo repo_;
};

TEST_F(SinceBase, EmptyRevisionIsRefusedBeforeAnythingIsReadOrStarted) {
  // A git first on PATH would show a start; git would take "" for the staged manifest and find
  // that nothing changed.
  const testing::TempProject bin;
  const FakeGit fake({bin.path()});
  const Variables variables = {{"PATH", platform::path_bytes(bin.path()) + ":" + own_path()},
                               {"CLICOLOR_FORCE", std::nullopt}};
  for (const std::string command : {"lint", "review"}) {
    const std::string expected =
        "error: a value is required for '--changed-since <REF>' but "
        "none was supplied\n\nUsage: quorvane " +
        command + " [OPTIONS]\n\nFor more information, try '--help'.\n";
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {command, "--changed-since", ""}, {command, "--changed-since="}}) {
      SCOPED_TRACE(command + (arguments.size() == 2 ? " --changed-since=" : " --changed-since ''"));
      for (const ProcessResult& result : in_both_forms(arguments, variables)) {
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, expected);
      }
    }
    // --json before the empty value: it gets no tip, as it was never the value.
    EXPECT_EQ(
        repo_.run_quorvane(repo_.path(), {command, "--json", "--changed-since="}, variables).err,
        expected);
  }
  EXPECT_FALSE(fake.started());
}

struct FailureCase {
  std::string command;
  std::string revision;
  std::string message_start;  // of standard error; the rest is git's and ends with a line break
};

void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.command << " --changed-since [" << c.revision << "]";
}

class RevisionThatFails : public SinceBase, public ::testing::WithParamInterface<FailureCase> {};

// Each text names no commit, so each run ends with the message of the git step, in text and in
// JSON alike, and writes no report.
TEST_P(RevisionThatFails, EndsWithTheMessageOfTheGitStep) {
  const FailureCase& c = GetParam();
  for (const ProcessResult& result : in_both_forms({c.command, "--changed-since", c.revision})) {
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.starts_with(c.message_start)) << result.err;
    EXPECT_TRUE(result.err.ends_with("\n\n")) << result.err;
  }
}

const FailureCase kFailureCases[] = {
    {"lint", "nope",
     "git show nope:./quorvane.toml: fatal: Not a valid object name nope^{commit}\n\n"},
    {"review", "nope", "git diff failed: fatal: Not a valid object name nope^{commit}\n\n"},
    // git repeats the revision in its message: these would read as "the manifest is absent".
    {"lint", "does not exist",
     "git show does not exist:./quorvane.toml: fatal: Not a valid object name does not exist"},
    {"lint", "path 'x", "git show path 'x:./quorvane.toml: fatal: Not a valid object name path 'x"},
    {"lint", "exists on disk, but not in",
     "git show exists on disk, but not in:./quorvane.toml: fatal: Not a valid object name"},
    {"review", "does not exist", "git diff failed: fatal: "},
    // git's own wording of a missing path, from a revision that names a folder, not a commit.
    {"lint", "base:docs", "git show base:docs:./quorvane.toml: fatal: path 'docs^{commit}'"},
    // Folders and files of the project, with uncommitted edits below them: no path filter.
    {"review", "docs", "git diff failed: fatal: "},
    {"review", ".", "git diff failed: fatal: "},
    {"review", "docs/a.md", "git diff failed: fatal: "},
    {"lint", "docs", "git show docs:./quorvane.toml: fatal: Not a valid object name docs^{commit}"},
    // Ranges and exclusions name more than one commit. git would take each of them: git show
    // prints nothing for "base..HEAD:./quorvane.toml", and git diff compares something else.
    {"lint", "base..HEAD",
     "git show base..HEAD:./quorvane.toml: fatal: Not a valid object name base..HEAD^{commit}\n\n"},
    {"lint", "base...HEAD",
     "git show base...HEAD:./quorvane.toml: fatal: Not a valid object name "
     "base...HEAD^{commit}\n\n"},
    {"lint", "^base",
     "git show ^base:./quorvane.toml: fatal: Not a valid object name ^base^{commit}\n\n"},
    {"review", "base..HEAD",
     "git diff failed: fatal: Not a valid object name base..HEAD^{commit}\n\n"},
    {"review", "base...HEAD",
     "git diff failed: fatal: Not a valid object name base...HEAD^{commit}\n\n"},
    {"review", "^base", "git diff failed: fatal: Not a valid object name ^base^{commit}\n\n"},
    // A tree names no commit, though git diff compares with it and git show reads files of it.
    {"lint", "base^{tree}", "git show base^{tree}:./quorvane.toml: error: "},
    {"review", "base^{tree}", "git diff failed: error: "},
    {"review", "base:docs", "git diff failed: fatal: path 'docs^{commit}'"},
};

INSTANTIATE_TEST_SUITE_P(Cases, RevisionThatFails, ::testing::ValuesIn(kFailureCases));

// Each name of the base commit narrows alike: a branch (one named like a folder is the branch,
// not the folder), tags light and annotated, its full hash, HEAD~1 and HEAD^ once a commit
// follows it, and @{upstream} of a branch that tracks it.
TEST_F(SinceBase, EveryNameOfTheBaseCommitNarrowsAlike) {
  repo_.git({"branch", "docs", "base"});
  repo_.git({"branch", "tracked", "base"});
  repo_.git({"tag", "-a", "-m", "annotated", "v1", "base"});
  const std::string line = repo_.git({"rev-parse", "base"});
  const std::string hash = line.substr(0, line.find('\n'));
  // A commit after the base, of nothing: the edits since the base stay uncommitted.
  repo_.git({"commit", "-q", "--allow-empty", "-m", "later"});
  repo_.git({"branch", "--set-upstream-to=tracked"});
  for (const std::string& revision :
       {std::string("docs"), std::string("base"), std::string("v1"), hash, std::string("HEAD~1"),
        std::string("HEAD^"), std::string("@{upstream}")}) {
    SCOPED_TRACE(revision);
    const auto placements = testing::review_placements(repo_, repo_.path(), revision);
    EXPECT_EQ(placements.text, kPlacedSinceBase);
    EXPECT_EQ(placements.json, kPlacedSinceBase);
    const auto requirements = testing::lint_requirements(repo_, repo_.path(), revision);
    EXPECT_EQ(requirements.text, kQueuedSinceBase);
    EXPECT_EQ(requirements.json, kQueuedSinceBase);
  }
}

// A git first on PATH that writes the arguments of each call to a log, one call a line with "|"
// after each argument, and then runs the real git, which it names by absolute path.
class LoggingGit {
 public:
  explicit LoggingGit(const std::filesystem::path& real_git) {
    const auto file = bin_.path() / "git";
    std::ofstream(file, std::ios::binary)
        << "#!/bin/sh\nprintf '%s|' \"$@\" >> '" << platform::path_bytes(log()) << "'\necho >> '"
        << platform::path_bytes(log()) << "'\nexec '" << platform::path_bytes(real_git)
        << "' \"$@\"\n";
    std::filesystem::permissions(file, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add);
  }

  std::string folder() const { return platform::path_bytes(bin_.path()); }

  // The calls so far, each without the "-C|DIR|" that every call of quorvane begins with; then
  // the log is emptied.
  std::vector<std::string> take_calls() const {
    std::vector<std::string> calls;
    std::ifstream in(log(), std::ios::binary);
    for (std::string line; std::getline(in, line);) {
      EXPECT_TRUE(line.starts_with("-C|")) << line;
      calls.push_back(line.substr(line.find('|', 3) + 1));
    }
    in.close();
    std::filesystem::remove(log());
    return calls;
  }

 private:
  std::filesystem::path log() const { return logs_.path() / "calls"; }
  testing::TempProject bin_;
  testing::TempProject logs_;
};

// The git that an absolute folder of `path` holds.
std::filesystem::path git_on(const std::string& path) {
  for (std::size_t start = 0; start <= path.size();) {
    const std::size_t end = std::min(path.find(':', start), path.size());
    const std::filesystem::path folder = path.substr(start, end - start);
    if (folder.is_absolute() && std::filesystem::is_regular_file(folder / "git")) {
      return folder / "git";
    }
    start = end + 1;
  }
  ADD_FAILURE() << "no git on " << path;
  return {};
}

// The check that REF names one commit is each run's first git call, so that git reads REF as
// nothing else before it is refused; a refused REF is its only one. An accepted REF goes on to
// the run's own calls unchanged.
TEST_F(SinceBase, TheRevisionIsCheckedBeforeAnyOtherGitCall) {
  const LoggingGit git(git_on(own_path()));
  const Variables variables = {{"PATH", git.folder() + ":" + own_path()}};
  for (const std::string command : {"lint", "review"}) {
    for (const std::string revision : {"base..HEAD", "base...HEAD", "^base", "nope", "base"}) {
      SCOPED_TRACE(command + " --changed-since " + revision);
      const ProcessResult result =
          repo_.run_quorvane(repo_.path(), {command, "--changed-since", revision}, variables);
      const std::vector<std::string> calls = git.take_calls();
      ASSERT_FALSE(calls.empty());
      EXPECT_EQ(calls.front(), "cat-file|-e|--end-of-options|" + revision + "^{commit}|");
      if (revision != "base") {
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(calls.size(), 1u) << calls.back();
        continue;
      }
      EXPECT_EQ(result.status, 0) << result.err;
      if (command == "lint") {
        EXPECT_EQ(calls, (std::vector<std::string>{calls.front(),
                                                   "show|--end-of-options|base:./quorvane.toml|"}));
      } else {
        ASSERT_EQ(calls.size(), 3u);
        EXPECT_TRUE(calls[1].starts_with("diff|")) << calls[1];
        EXPECT_TRUE(calls[1].ends_with("|--end-of-options|base|--|")) << calls[1];
        EXPECT_EQ(calls[2], "rev-parse|--show-prefix|");
      }
    }
  }
}

// An empty entry of PATH (leading, trailing or doubled), "." and a relative folder all lead into
// the project, which may carry a git of its own (a pull request can add one).
TEST_F(SinceBase, AGitOfTheProjectIsNeverStarted) {
  const FakeGit fake({repo_.path(), repo_.path() / "bin"});
  const std::string own = own_path();
  for (const std::string& path :
       {":" + own, own + ":", "/nonexistent::" + own, ".:" + own, "./bin:" + own, "bin:" + own}) {
    SCOPED_TRACE("PATH=" + path);
    const auto requirements =
        testing::lint_requirements(repo_, repo_.path(), "base", {{"PATH", path}});
    EXPECT_EQ(requirements.text, kQueuedSinceBase);
    EXPECT_EQ(requirements.json, kQueuedSinceBase);
    const auto placements =
        testing::review_placements(repo_, repo_.path(), "base", {{"PATH", path}});
    EXPECT_EQ(placements.text, kPlacedSinceBase);
    EXPECT_EQ(placements.json, kPlacedSinceBase);
  }
  EXPECT_FALSE(fake.started());
}

TEST_F(SinceBase, WithOnlyRelativeEntriesOnPathGitIsNotFound) {
  const FakeGit fake({repo_.path(), repo_.path() / "bin"});
  const std::string not_found = platform::os_error_text(2);
  for (const auto& [command, message] : std::vector<std::pair<std::string, std::string>>{
           {"lint", "git show base:./quorvane.toml: " + not_found + "\n"},
           {"review", "git diff: " + not_found + "\n"}}) {
    for (const ProcessResult& result :
         in_both_forms({command, "--changed-since", "base"}, {{"PATH", ":.:bin:./bin:"}})) {
      EXPECT_EQ(result.status, 2);
      EXPECT_EQ(result.out, "");
      EXPECT_EQ(result.err, message);
    }
  }
  EXPECT_FALSE(fake.started());
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
