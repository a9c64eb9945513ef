#include "git/revision_check.hpp"

#include <fmt/format.h>

namespace quorvane {

GitOutcome check_names_one_commit(const std::filesystem::path& project_dir,
                                  std::string_view revision) {
  // cat-file takes one object name, which no range or exclusion is, and the peel to a commit
  // refuses a tree or a blob and takes an annotated tag to its commit. rev-parse --verify would
  // not do: it accepts "^A". After --end-of-options a revision beginning with "-" is no option.
  return run_git(project_dir,
                 {"cat-file", "-e", "--end-of-options", fmt::format("{}^{{commit}}", revision)});
}

}  // namespace quorvane
