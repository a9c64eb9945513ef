#include "git/changed_requirements.hpp"

#include <array>

#include <fmt/format.h>

#include "git/git_run.hpp"
#include "manifest/schema.hpp"
#include "platform/read_file.hpp"

namespace quorvane {
namespace {

constexpr std::string_view kManifestFileName = "quorvane.toml";

// What git says when the path is missing at the revision, which makes every requirement new.
// git repeats the revision in its message, so these texts alone do not tell.
bool says_manifest_absent(std::string_view git_stderr) {
  static constexpr std::array<std::string_view, 4> kAbsentTexts = {
      "exists on disk, but not in", "does not exist in", "does not exist", "path '"};
  for (const auto text : kAbsentTexts) {
    if (git_stderr.find(text) != std::string_view::npos) return true;
  }
  return false;
}

// Whether `revision` names a commit, at which a missing manifest is a manifest that did not exist
// yet. Asked only once git show has failed, so that the usual run starts no further child.
bool names_a_commit(const std::filesystem::path& project_dir, std::string_view revision) {
  const auto verified =
      run_git(project_dir, {"rev-parse", "--verify", "--quiet", "--end-of-options",
                            fmt::format("{}^{{commit}}", revision)});
  return std::holds_alternative<GitSucceeded>(verified);
}

Result<TitleMap> titles_at_revision(const std::filesystem::path& project_dir,
                                    std::string_view revision) {
  const std::string revision_path = fmt::format("{}:./{}", revision, kManifestFileName);
  // As for the diff: a revision beginning with "-" must not reach git as an option.
  auto shown = run_git(project_dir, {"show", "--end-of-options", revision_path});
  if (auto* not_started = std::get_if<GitNotStarted>(&shown)) {
    return Failure{git_show_error(revision_path, not_started->message)};
  }
  if (auto* failed = std::get_if<GitFailed>(&shown)) {
    if (says_manifest_absent(failed->stderr_text) && names_a_commit(project_dir, revision)) {
      return TitleMap{};
    }
    return Failure{git_show_error(revision_path, failed->stderr_text)};
  }
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
                                                       std::string_view revision) {
  auto current_text = platform::read_utf8_file(project_dir / kManifestFileName);
  if (!current_text) {
    return Failure{fmt::format("read current manifest: {}", current_text.error())};
  }
  auto current_titles = parse_requirement_titles(current_text.value());
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
