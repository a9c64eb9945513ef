#include "git/changed_lines.hpp"

#include <optional>
#include <string_view>
#include <utility>
#include <variant>

#include <fmt/format.h>

#include "git/git_run.hpp"
#include "git/revision_check.hpp"

namespace quorvane {
namespace {

// The diff step's message for a git run that did not succeed, or nothing when it did. The check
// of the revision belongs to the step, so it fails in the same forms.
std::optional<Failure> diff_step_failure(const GitOutcome& outcome) {
  if (const auto* not_started = std::get_if<GitNotStarted>(&outcome)) {
    return Failure{fmt::format("git diff: {}", not_started->message)};
  }
  if (const auto* failed = std::get_if<GitFailed>(&outcome)) {
    return Failure{fmt::format("git diff failed: {}", failed->stderr_text)};
  }
  return std::nullopt;
}

}  // namespace

ChangedLines strip_show_prefix(ChangedLines lines, std::string_view prefix) {
  if (prefix.empty()) return lines;
  ChangedLines stripped;
  for (auto& [path, numbers] : lines) {
    if (path.starts_with(prefix)) stripped.emplace(path.substr(prefix.size()), std::move(numbers));
  }
  return stripped;
}

Result<ChangedLines> changed_lines_since(const std::filesystem::path& project_dir,
                                         std::string_view revision) {
  if (auto failure = diff_step_failure(check_names_one_commit(project_dir, revision))) {
    return std::move(*failure);
  }
  // Every option that the user's configuration could change is given, so that the output has the
  // one form the reader knows: "a/" and "b/" prefixes, paths from the repository's top, no
  // context lines between hunks, and the files' own text rather than a converter's or an external
  // program's. The revision comes after --end-of-options so that a value beginning with "-" is
  // read as a revision, never as an option (such as --output=FILE, which would make git write a
  // file), and before "--" so that it is read as a revision, never as a path: a folder's name
  // would otherwise diff the uncommitted edits below it, and a branch named like a folder would
  // be ambiguous.
  auto diff = run_git(
      project_dir, {"diff", "--unified=0", "--no-color", "--no-ext-diff", "--no-textconv",
                    "--no-relative", "--src-prefix=a/", "--dst-prefix=b/", "--inter-hunk-context=0",
                    "--end-of-options", std::string(revision), "--"});
  if (auto failure = diff_step_failure(diff)) return std::move(*failure);
  ChangedLines lines = read_added_lines(std::get<GitSucceeded>(diff).stdout_text);

  auto prefix = run_git(project_dir, {"rev-parse", "--show-prefix"});
  if (auto* not_started = std::get_if<GitNotStarted>(&prefix)) {
    return Failure{fmt::format("git rev-parse --show-prefix: {}", not_started->message)};
  }
  if (auto* failed = std::get_if<GitFailed>(&prefix)) {
    return Failure{fmt::format("git rev-parse --show-prefix failed: {}", failed->stderr_text)};
  }
  // Only git's line break goes, not white space: a folder's name may begin or end with a space.
  // A carriage return before the line feed is part of the break (as in the diff), never of the
  // prefix, which ends with "/".
  std::string_view prefix_text = std::get<GitSucceeded>(prefix).stdout_text;
  if (prefix_text.ends_with('\n')) prefix_text.remove_suffix(1);
  if (prefix_text.ends_with('\r')) prefix_text.remove_suffix(1);
  return strip_show_prefix(std::move(lines), prefix_text);
}

}  // namespace quorvane
