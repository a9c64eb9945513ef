#pragma once

#include <filesystem>
#include <string_view>

#include "git/git_run.hpp"

namespace quorvane {

// Asks git whether `revision` names exactly one commit. It comes before every other git call of a
// narrowing: given a range ("A..B", "A...B"), an exclusion ("^A"), a tree or a path, git diff and
// git show would go on with some other comparison, or with none, and say nothing. Success means
// it does (its output is nothing); a failure carries git's message, which names the revision.
GitOutcome check_names_one_commit(const std::filesystem::path& project_dir,
                                  std::string_view revision);

}  // namespace quorvane
