#pragma once

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace quorvane {

struct GitNotStarted {
  std::string message;  // the OS error text
};
struct GitFailed {
  std::string stderr_text;  // decoded, untrimmed
};
struct GitSucceeded {
  std::string stdout_text;  // decoded
};
using GitOutcome = std::variant<GitNotStarted, GitFailed, GitSucceeded>;

// Runs `git -C <project_dir> <arguments...>` in the C locale (LC_ALL=C, LANGUAGE removed, all
// else inherited); output decoded as UTF-8 with U+FFFD replacement.
GitOutcome run_git(const std::filesystem::path& project_dir,
                   const std::vector<std::string>& arguments);

}  // namespace quorvane
