#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "helpers/git_repo.hpp"

namespace quorvane::testing {

// The body of the prompt section under `heading`, up to the first of `ends` that follows it: the
// items queued for the agent, and nothing of the fixed text around them.
inline std::string prompt_section(const std::string& prompt, const std::string& heading,
                                  const std::vector<std::string>& ends) {
  const auto start = prompt.find(heading);
  if (start == std::string::npos) return "<no section " + heading + ">";
  const auto body = start + heading.size();
  auto end = std::string::npos;
  for (const std::string& text : ends) {
    end = prompt.find(text, body);
    if (end != std::string::npos) break;
  }
  return prompt.substr(body, end - body);
}

// The "## Tag placements to review" section of a review prompt: one "### " block per requirement
// with its placements.
inline std::string placements_in(const std::string& prompt) {
  return prompt_section(prompt, "## Tag placements to review\n\n",
                        {"External (signoff URL) evidence", "## How to report back"});
}

// The "## Requirements" section of a lint prompt: one "### " block per requirement.
inline std::string requirements_in(const std::string& prompt) {
  return prompt_section(prompt, "## Requirements\n\n", {"## How to report back"});
}

// What a `--changed-since` run queued for its agent, in each report form: the items, or the
// status and standard error of a run that did not succeed (or, in JSON, had findings).
struct QueuedItems {
  std::string text;
  std::string json;
};

inline std::string failure_of(const ProcessResult& run) {
  return "status " + std::to_string(run.status) + ": " + run.err;
}

inline QueuedItems queued_items(const GitRepo& repo, const std::filesystem::path& cwd,
                                const std::string& command, const std::string& revision,
                                std::string (*items_in)(const std::string&),
                                const std::map<std::string, std::optional<std::string>>& extra) {
  QueuedItems items;
  const auto text = repo.run_quorvane(cwd, {command, "--changed-since", revision}, extra);
  items.text = text.status == 0 ? items_in(text.out) : failure_of(text);

  const auto json = repo.run_quorvane(cwd, {command, "--changed-since", revision, "--json"}, extra);
  if (json.status != 0) {
    items.json = failure_of(json);
    return items;
  }
  const auto document = nlohmann::json::parse(json.out, nullptr, false);
  if (document.is_discarded() || !document.contains("agentPrompt") ||
      document.value("findings", nlohmann::json::array()) != nlohmann::json::array()) {
    items.json = "unexpected JSON report: " + json.out;
    return items;
  }
  items.json = items_in(document["agentPrompt"].get<std::string>());
  return items;
}

// What `review --changed-since` listed: the tag placements.
inline QueuedItems review_placements(
    const GitRepo& repo, const std::filesystem::path& cwd, const std::string& revision,
    const std::map<std::string, std::optional<std::string>>& extra = {}) {
  return queued_items(repo, cwd, "review", revision, placements_in, extra);
}

// What `lint --changed-since` queued: the requirements (of a project whose titles give no
// finding).
inline QueuedItems lint_requirements(
    const GitRepo& repo, const std::filesystem::path& cwd, const std::string& revision,
    const std::map<std::string, std::optional<std::string>>& extra = {}) {
  return queued_items(repo, cwd, "lint", revision, requirements_in, extra);
}

}  // namespace quorvane::testing
