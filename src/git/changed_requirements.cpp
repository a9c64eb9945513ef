#include "git/changed_requirements.hpp"

#include <array>
#include <optional>
#include <utility>
#include <variant>

#include <fmt/format.h>

#include "git/git_run.hpp"
#include "git/revision_check.hpp"
#include "manifest/schema.hpp"

namespace quorvane {
namespace {

constexpr std::string_view kManifestFileName = "quorvane.toml";

// What git show says when the manifest is missing at the revision, which makes every requirement
// new. The revision has been checked to name a commit, so git's message is about the path: one
// that failed to read the revision would repeat it, and could hold any of these texts.
bool says_manifest_absent(std::string_view git_stderr) {
  static constexpr std::array<std::string_view, 4> kAbsentTexts = {
      "exists on disk, but not in", "does not exist in", "does not exist", "path '"};
  for (const auto text : kAbsentTexts) {
    if (git_stderr.find(text) != std::string_view::npos) return true;
  }
  return false;
}

// The show step's message for a git run that did not succeed, or nothing when it did. The check
// of the revision belongs to the step, so it fails in the same forms.
std::optional<Failure> show_step_failure(std::string_view revision_path,
                                         const GitOutcome& outcome) {
  if (const auto* not_started = std::get_if<GitNotStarted>(&outcome)) {
    return Failure{git_show_error(revision_path, not_started->message)};
  }
  if (const auto* failed = std::get_if<GitFailed>(&outcome)) {
    return Failure{git_show_error(revision_path, failed->stderr_text)};
  }
  return std::nullopt;
}

Result<TitleMap> titles_at_revision(const std::filesystem::path& project_dir,
                                    std::string_view revision) {
  const std::string revision_path = fmt::format("{}:./{}", revision, kManifestFileName);
  // A range would pass: git show "A..B:./quorvane.toml" prints nothing and succeeds.
  if (auto failure =
          show_step_failure(revision_path, check_names_one_commit(project_dir, revision))) {
    return std::move(*failure);
  }
  // As for the diff: a revision beginning with "-" must not reach git as an option.
  auto shown = run_git(project_dir, {"show", "--end-of-options", revision_path});
  if (const auto* failed = std::get_if<GitFailed>(&shown);
      failed != nullptr && says_manifest_absent(failed->stderr_text)) {
    return TitleMap{};
  }
  if (auto failure = show_step_failure(revision_path, shown)) return std::move(*failure);
  // An old manifest that no longer parses counts as absent: nothing in it can be compared.
  auto old_titles = parse_requirement_titles(std::get<GitSucceeded>(shown).stdout_text);
  if (!old_titles) return TitleMap{};
  return std::move(old_titles).value();
}

}  // namespace

Result<TitleMap> parse_requirement_titles(std::string_view manifest_text) {
  auto raw = read_raw(manifest_text);
  if (!raw) return Failure{fmt::format("parse manifest at ref: {}", raw.error())};
  Raw document = std::move(raw).value();
  TitleMap titles;
  for (auto& requirement : document.requirements) {
    titles[std::move(requirement.id)] = std::move(requirement.title).value_or(std::string());
  }
  return titles;
}

std::string git_show_error(std::string_view revision_path, std::string_view git_stderr) {
  return fmt::format("git show {}: {}", revision_path, git_stderr);
}

Result<ChangedRequirements> changed_requirements_since(const std::filesystem::path& project_dir,
                                                       std::string_view revision,
                                                       std::string_view current_manifest) {
  auto current_titles = parse_requirement_titles(current_manifest);
  if (!current_titles) return std::move(current_titles).take_failure();

  auto old_titles = titles_at_revision(project_dir, revision);
  if (!old_titles) return std::move(old_titles).take_failure();

  ChangedRequirements changed;
  for (auto& [id, title] : current_titles.value()) {
    const auto old = old_titles.value().find(id);
    if (old == old_titles.value().end() || old->second != title) changed.insert(id);
  }
  return changed;
}

}  // namespace quorvane
