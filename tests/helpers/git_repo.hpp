#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "helpers/temp_project.hpp"

namespace quorvane::testing {

// A git repository in a fresh temp directory, driven by the real `git` program.
class GitRepo {
 public:
  GitRepo() { git({"init", "-q"}); }

  const std::filesystem::path& path() const { return dir_.path(); }
  void write(const std::filesystem::path& relative, std::string_view content) const {
    dir_.write(relative, content);
  }
  void remove(const std::filesystem::path& relative) const {
    std::filesystem::remove(path() / relative);
  }

  // Runs git in the repository; a failing call fails the test.
  std::string git(const std::vector<std::string>& arguments) const {
    std::vector<std::string> argv{
        "git", "-c", "user.name=t", "-c", "user.email=t@t", "-c", "commit.gpgsign=false"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const auto result = run_process("git", argv, RunOptions{path(), {}});
    EXPECT_EQ(result.status, 0) << result.err;
    return result.out;
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
  TempProject dir_;
};

}  // namespace quorvane::testing
