#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "helpers/temp_project.hpp"
#include "platform/paths.hpp"
#include "platform/system.hpp"

namespace quorvane::testing {

// Why the tests cannot drive real git on this build, or nothing where they can. A test that needs
// it skips with this reason.
inline std::optional<std::string> why_real_git_is_unavailable() {
  if (platform::kIsWindows) {
    return "real git for Windows is not available here (wine cannot connect a Linux git's output "
           "to the test's pipes); these tests run on the Linux build";
  }
  return std::nullopt;
}

// A git repository in a fresh temp directory, driven by the real `git` program. Every git run of
// the test, its own and those of quorvane through run_quorvane, reads a global configuration
// of the test's own (in a folder beside the repository) and no system one, so the developer's
// configuration never leaks in. Where there is no real git, the repository stays an empty
// folder (so that a fixture holding one can still be built and skip).
class GitRepo {
 public:
  GitRepo() {
    config_dir_.write("gitconfig", "");
    if (!why_real_git_is_unavailable()) git({"init", "-q"});
  }

  const std::filesystem::path& path() const { return dir_.path(); }
  void write(const std::filesystem::path& relative, std::string_view content) const {
    dir_.write(relative, content);
  }
  void remove(const std::filesystem::path& relative) const {
    std::filesystem::remove(path() / relative);
  }

  // The variables that point git at the test's own configuration.
  std::map<std::string, std::optional<std::string>> environment() const {
    return {{"GIT_CONFIG_GLOBAL", platform::path_bytes(config_dir_.path() / "gitconfig")},
            {"GIT_CONFIG_NOSYSTEM", "1"}};
  }

  // Sets `key` in the test's global configuration, as a user's ~/.gitconfig would.
  void configure(const std::string& key, const std::string& value) const {
    git({"config", "--global", key, value});
  }

  // Runs git in the repository; a failing call fails the test.
  std::string git(const std::vector<std::string>& arguments) const {
    std::vector<std::string> argv{
        "git", "-c", "user.name=t", "-c", "user.email=t@t", "-c", "commit.gpgsign=false"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const auto result = run_process("git", argv, RunOptions{path(), environment()});
    EXPECT_EQ(result.status, 0) << result.err;
    return result.out;
  }

  // Runs the built quorvane binary in `cwd` (the repository or a folder in it) with the test's
  // git configuration and `extra` variables.
  ProcessResult run_quorvane(
      const std::filesystem::path& cwd, const std::vector<std::string>& args,
      const std::map<std::string, std::optional<std::string>>& extra = {}) const {
    auto variables = environment();
    for (const auto& [name, value] : extra) variables[name] = value;
    return testing::run_quorvane(cwd, args, variables);
  }

  // Stages everything and commits it; returns the new commit's hash.
  std::string commit_all(const std::string& message = "change") const {
    git({"add", "-A"});
    git({"commit", "-q", "--allow-empty", "-m", message});
    auto hash = git({"rev-parse", "HEAD"});
    while (!hash.empty() && hash.back() == '\n') hash.pop_back();
    return hash;
  }

 private:
  TempProject config_dir_;
  TempProject dir_;
};

}  // namespace quorvane::testing
