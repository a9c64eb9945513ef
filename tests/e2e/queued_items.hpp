#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "helpers/git_repo.hpp"

namespace quorvane::testing {

// The "## Tag placements to review" section of a review prompt: one "### " block per requirement
// with its placements, and nothing of the fixed text around it.
inline std::string placements_in(const std::string& prompt) {
  const std::string heading = "## Tag placements to review\n\n";
  const auto start = prompt.find(heading);
  if (start == std::string::npos) return "<no placement section>";
  const auto body = start + heading.size();
  auto end = prompt.find("External (signoff URL) evidence", body);
  if (end == std::string::npos) end = prompt.find("## How to report back", body);
  return prompt.substr(body, end - body);
}

// What `review --changed-since` listed, in each report form: the placements, or the status and
// standard error of a run that did not succeed.
struct ReviewPlacements {
  std::string text;
  std::string json;
};

inline std::string failure_of(const ProcessResult& run) {
  return "status " + std::to_string(run.status) + ": " + run.err;
}

inline ReviewPlacements review_placements(
    const GitRepo& repo, const std::filesystem::path& cwd, const std::string& revision,
    const std::map<std::string, std::optional<std::string>>& extra = {}) {
  ReviewPlacements placements;
  const auto text = repo.run_quorvane(cwd, {"review", "--changed-since", revision}, extra);
  placements.text = text.status == 0 ? placements_in(text.out) : failure_of(text);

  const auto json =
      repo.run_quorvane(cwd, {"review", "--changed-since", revision, "--json"}, extra);
  if (json.status != 0) {
    placements.json = failure_of(json);
    return placements;
  }
  const auto document = nlohmann::json::parse(json.out, nullptr, false);
  if (document.is_discarded() || !document.contains("agentPrompt") ||
      document.value("findings", nlohmann::json::array()) != nlohmann::json::array()) {
    placements.json = "unexpected JSON report: " + json.out;
    return placements;
  }
  placements.json = placements_in(document["agentPrompt"].get<std::string>());
  return placements;
}

}  // namespace quorvane::testing
