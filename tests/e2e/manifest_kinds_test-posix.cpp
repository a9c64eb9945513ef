// The manifest read as cat reads it, whatever kind of file it is: a FIFO that its writer fills
// only after the run has begun gives the report of the file itself.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "helpers/git_repo.hpp"
#include "helpers/posix_fixtures.hpp"
#include "helpers/temp_project.hpp"

namespace quorvane {
namespace {

using testing::ProcessResult;
using testing::TempProject;

constexpr const char* kManifest =
    "[scan]\nroots = [\"src\"]\n"
    "[[requirements]]\nid = \"REQ-1\"\ntitle = \"Users sign in with email\"\n"
    "[[requirements]]\nid = \"REQ-2\"\ntitle = \"TBD\"\npriority = \"should\"\n";

// Runs quorvane under a time limit, so that a run that waits for ever fails the test instead of
// holding it.
ProcessResult run_with_time_limit(
    const std::filesystem::path& cwd, const std::vector<std::string>& args,
    const std::map<std::string, std::optional<std::string>>& env = {}) {
  std::vector<std::string> argv{"timeout", "60", QUORVANE_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  return testing::run_process("/usr/bin/timeout", argv, testing::RunOptions{cwd, env});
}

TEST(ManifestThroughAFifo, WriterThatComesAfterTheRunStartsGivesTheReportOfTheFile) {
  if (auto reason = testing::why_no_fifos()) GTEST_SKIP() << *reason;
  TempProject project;
  project.write("src/a.rs", "// [impl->REQ-1]\n// [unit->REQ-9]\n");
  const std::vector<std::vector<std::string>> runs = {
      {"check"}, {"list", "--json"}, {"trace", "REQ-1"}, {"lint"}, {"review", "--json"}};
  for (const auto& args : runs) {
    SCOPED_TRACE(args.front());
    project.write("quorvane.toml", kManifest);
    const ProcessResult from_file = run_with_time_limit(project.path(), args);
    ASSERT_NE(from_file.out, "");

    std::filesystem::remove(project.path() / "quorvane.toml");
    testing::make_fifo(project.path() / "quorvane.toml");
    // In two pieces, the second only after a pause: an idle writer is no end.
    const std::string manifest = kManifest;
    const std::size_t half = manifest.size() / 2;
    testing::LateFifoWriter writer(project.path() / "quorvane.toml",
                                   {manifest.substr(0, half), manifest.substr(half)},
                                   std::chrono::milliseconds(300), std::chrono::milliseconds(200));
    const ProcessResult from_fifo = run_with_time_limit(project.path(), args);
    EXPECT_TRUE(writer.finished());
    EXPECT_EQ(from_fifo.status, from_file.status);
    EXPECT_EQ(from_fifo.out, from_file.out);
    EXPECT_EQ(from_fifo.err, from_file.err);
    std::filesystem::remove(project.path() / "quorvane.toml");
  }
}

// lint --changed-since compares the text it loaded: a FIFO gives its content once, so a second
// read would find an empty manifest and lint nothing.
TEST(ManifestThroughAFifo, LintSinceARevisionComparesTheTextItLoaded) {
  if (auto reason = testing::why_no_fifos()) GTEST_SKIP() << *reason;
  testing::GitRepo repo;
  repo.write("quorvane.toml", "[[requirements]]\nid = \"REQ-1\"\ntitle = \"Users sign in\"\n");
  const std::string base = repo.commit_all("base");
  const std::string manifest =
      "[[requirements]]\nid = \"REQ-1\"\ntitle = \"Users sign in\"\n"
      "[[requirements]]\nid = \"REQ-2\"\ntitle = \"TBD\"\n";
  repo.write("quorvane.toml", manifest);
  const std::vector<std::string> args = {"lint", "--changed-since", base};
  const ProcessResult from_file = repo.run_quorvane(repo.path(), args);
  ASSERT_EQ(from_file.status, 1) << from_file.err;  // REQ-2's placeholder

  std::filesystem::remove(repo.path() / "quorvane.toml");
  testing::make_fifo(repo.path() / "quorvane.toml");
  testing::LateFifoWriter writer(repo.path() / "quorvane.toml", {manifest},
                                 std::chrono::milliseconds(300), std::chrono::milliseconds(0));
  const ProcessResult from_fifo = run_with_time_limit(repo.path(), args, repo.environment());
  EXPECT_TRUE(writer.finished());
  EXPECT_EQ(from_fifo.status, from_file.status);
  EXPECT_EQ(from_fifo.out, from_file.out);
  EXPECT_EQ(from_fifo.err, from_file.err);
}

// A device is no manifest: it may never end (/dev/zero), and one that reads as empty (/dev/null)
// would pass a gate on a manifest that nobody wrote.
TEST(ManifestThroughADevice, IsRefusedAsUnreadable) {
  if (auto reason = testing::why_no_fifos()) GTEST_SKIP() << *reason;
  for (const char* device : {"/dev/null", "/dev/zero"}) {
    SCOPED_TRACE(device);
    TempProject project;
    std::filesystem::create_symlink(device, project.path() / "quorvane.toml");
    const ProcessResult result = run_with_time_limit(project.path(), {"check"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "manifest_error: cannot read quorvane.toml (No such device (os error 19))\n");
  }
}

}  // namespace
}  // namespace quorvane
