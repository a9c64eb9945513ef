#include "main/narrowing.hpp"

#include <algorithm>
#include <utility>
#include <variant>

namespace quorvane {

Status narrow_to_changed_requirements(Manifest& manifest, const std::filesystem::path& root,
                                      const std::string& revision) {
  Result<ChangedRequirements> changed = changed_requirements_since(root, revision);
  if (!changed) return std::move(changed).take_failure();
  retain_changed_requirements(manifest.requirements, changed.value());
  return Ok{};
}

Status narrow_to_changed_evidence(TraceResult& trace, const std::filesystem::path& root,
                                  const std::string& revision) {
  Result<ChangedLines> changed = changed_lines_since(root, revision);
  if (!changed) return std::move(changed).take_failure();
  for (RequirementState& state : trace.requirements) {
    for (auto& [stage, stage_state] : state.stages) {
      retain_changed_evidence(stage_state.evidence, changed.value());
    }
  }
  return Ok{};
}

void retain_changed_requirements(std::vector<Requirement>& requirements,
                                 const ChangedRequirements& changed) {
  std::erase_if(requirements,
                [&](const Requirement& requirement) { return !changed.contains(requirement.id); });
}

void retain_changed_evidence(std::vector<Evidence>& evidence, const ChangedLines& changed) {
  // Sign-offs live outside the sources, so no added line can hold one.
  std::erase_if(evidence, [&](const Evidence& entry) {
    const auto* file = std::get_if<FileEvidence>(&entry);
    if (file == nullptr) return true;
    const auto lines = changed.find(file->path);
    return lines == changed.end() || !lines->second.contains(file->line);
  });
}

}  // namespace quorvane
