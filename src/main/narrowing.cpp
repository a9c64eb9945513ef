#include "main/narrowing.hpp"

#include <algorithm>
#include <iterator>
#include <utility>
#include <variant>

#include "main/root_aliases.hpp"

namespace quorvane {
namespace {

bool on_changed_line(const Evidence& entry, const ChangedLines& changed) {
  // Sign-offs live outside the sources, so no added line can hold one.
  const auto* file = std::get_if<FileEvidence>(&entry);
  if (file == nullptr) return false;
  const auto lines = changed.find(file->path);
  return lines != changed.end() && lines->second.contains(file->line);
}

bool has_changed_evidence(const RequirementState& state, const ChangedLines& changed) {
  return std::any_of(state.stages.begin(), state.stages.end(), [&](const auto& entry) {
    const std::vector<Evidence>& evidence = entry.second.evidence;
    return std::any_of(evidence.begin(), evidence.end(),
                       [&](const Evidence& item) { return on_changed_line(item, changed); });
  });
}

}  // namespace

Status narrow_to_changed_requirements(Manifest& manifest, const std::filesystem::path& root,
                                      const std::string& revision, std::string_view manifest_text) {
  Result<ChangedRequirements> changed = changed_requirements_since(root, revision, manifest_text);
  if (!changed) return std::move(changed).take_failure();
  retain_changed_requirements(manifest.requirements, changed.value());
  return Ok{};
}

Result<TraceResult> narrow_to_changed_evidence(const TraceResult& trace,
                                               const std::filesystem::path& root,
                                               const std::vector<std::filesystem::path>& scan_roots,
                                               const std::string& revision) {
  Result<ChangedLines> changed = changed_lines_since(root, revision);
  if (!changed) return std::move(changed).take_failure();
  // git names each file by its own path; the records keep the path of their root as written.
  return trace_on_changed_lines(
      trace, under_record_paths(std::move(changed).value(), root_aliases(root, scan_roots)));
}

void retain_changed_requirements(std::vector<Requirement>& requirements,
                                 const ChangedRequirements& changed) {
  std::erase_if(requirements,
                [&](const Requirement& requirement) { return !changed.contains(requirement.id); });
}

TraceResult trace_on_changed_lines(const TraceResult& trace, const ChangedLines& changed) {
  TraceResult narrowed{.requirements = {}, .findings = {}, .stages = trace.stages};
  // Usually few requirements keep anything: the others are passed over without a copy.
  for (const RequirementState& state : trace.requirements) {
    if (!has_changed_evidence(state, changed)) continue;
    RequirementState& kept = narrowed.requirements.emplace_back(RequirementState{
        .id = state.id,
        .title = state.title,
        .type = state.type,
        .required_stages = state.required_stages,
        .stages = {},
    });
    kept.stages.reserve(state.stages.size());
    for (const auto& [stage, stage_state] : state.stages) {
      kept.stages.emplace(stage, StageState{retain_changed_evidence(stage_state.evidence, changed),
                                            stage_state.complete});
    }
  }
  return narrowed;
}

std::vector<Evidence> retain_changed_evidence(const std::vector<Evidence>& evidence,
                                              const ChangedLines& changed) {
  std::vector<Evidence> kept;
  std::copy_if(evidence.begin(), evidence.end(), std::back_inserter(kept),
               [&](const Evidence& entry) { return on_changed_line(entry, changed); });
  return kept;
}

}  // namespace quorvane
