#include "git/git_run.hpp"

#include <type_traits>

#include "platform/paths.hpp"
#include "platform/process.hpp"
#include "support/text.hpp"

namespace quorvane {
namespace {

// git translates its messages, and the "absent manifest" texts we match are its English ones. C
// pins the language whatever the user's locale. LANGUAGE goes too: gettext ranks it above LC_ALL,
// and not every gettext build ignores it under C.
platform::EnvironmentChange git_environment() {
  return platform::EnvironmentChange{{{"LC_ALL", "C"}}, {"LANGUAGE"}};
}

}  // namespace

GitOutcome run_git(const std::filesystem::path& project_dir,
                   const std::vector<std::string>& arguments) {
  std::vector<std::string> full_arguments{"-C", platform::path_bytes(project_dir)};
  full_arguments.insert(full_arguments.end(), arguments.begin(), arguments.end());
  return std::visit(
      [](auto&& outcome) -> GitOutcome {
        using Kind = std::decay_t<decltype(outcome)>;
        if constexpr (std::is_same_v<Kind, platform::ProcessNotStarted>) {
          return GitNotStarted{std::move(outcome.message)};
        } else if constexpr (std::is_same_v<Kind, platform::ProcessFailed>) {
          return GitFailed{decode_utf8_lossy(outcome.stderr_bytes)};
        } else {
          return GitSucceeded{decode_utf8_lossy(outcome.stdout_bytes)};
        }
      },
      platform::run_program("git", full_arguments, git_environment()));
}

}  // namespace quorvane
