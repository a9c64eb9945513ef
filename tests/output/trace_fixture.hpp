#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "output/selection.hpp"
#include "trace/records.hpp"

namespace quorvane::testing {

inline const std::vector<std::string> kBuiltinStages{"doc", "impl", "unit", "int"};

inline Evidence file_at(std::string path, std::uint64_t line) {
  return FileEvidence{std::move(path), line};
}
inline Evidence signoff(std::string url) {
  return SignoffEvidence{std::move(url)};
}

// A state as the trace builder makes it: an entry for every known stage, complete exactly when
// it holds evidence.
inline RequirementState make_state(std::string id, std::vector<std::string> required,
                                   std::map<std::string, std::vector<Evidence>> evidence = {},
                                   const std::vector<std::string>& stages = kBuiltinStages) {
  RequirementState state;
  state.id = std::move(id);
  state.required_stages = std::move(required);
  for (const std::string& name : stages) {
    StageState stage;
    if (auto found = evidence.find(name); found != evidence.end()) {
      stage.evidence = std::move(found->second);
    }
    stage.complete = !stage.evidence.empty();
    state.stages.emplace(name, std::move(stage));
  }
  return state;
}

inline RequirementState with_title(RequirementState state, std::string title) {
  state.title = std::move(title);
  return state;
}
inline RequirementState with_type(RequirementState state, std::string type) {
  state.type = std::move(type);
  return state;
}

inline Finding missing_stage(std::string id, std::string stage, std::string message,
                             Priority severity = Priority::Must) {
  Finding finding;
  finding.code = FindingCode::MissingStage;
  finding.severity = severity;
  finding.requirement_id = std::move(id);
  finding.stage = std::move(stage);
  finding.message = std::move(message);
  return finding;
}

inline Finding parse_error(std::string path, std::uint64_t line) {
  Finding finding;
  finding.code = FindingCode::ParseError;
  finding.path = std::move(path);
  finding.line = line;
  finding.message = "Tag-shaped token does not match [stage->REQ-ID]";
  return finding;
}

inline Finding scan_error(std::string path, std::string message) {
  Finding finding;
  finding.code = FindingCode::ScanError;
  finding.path = std::move(path);
  finding.message = std::move(message);
  return finding;
}

inline Finding undeclared_id(std::string id, std::string path, std::uint64_t line) {
  Finding finding;
  finding.code = FindingCode::UndeclaredId;
  finding.requirement_id = std::move(id);
  finding.path = std::move(path);
  finding.line = line;
  finding.message = "Tag references an ID not declared in the manifest";
  return finding;
}

inline Finding requirement_quality(std::string id, std::string criterion, std::string message,
                                   Priority severity) {
  Finding finding;
  finding.code = FindingCode::RequirementQuality;
  finding.severity = severity;
  finding.requirement_id = std::move(id);
  finding.criterion = std::move(criterion);
  finding.message = std::move(message);
  return finding;
}

inline StateSelection all_states(const TraceResult& trace) {
  StateSelection states;
  for (const RequirementState& state : trace.requirements) states.push_back(&state);
  return states;
}

inline FindingSelection all_findings(const TraceResult& trace) {
  FindingSelection findings;
  for (const Finding& finding : trace.findings) findings.push_back(&finding);
  return findings;
}

}  // namespace quorvane::testing
