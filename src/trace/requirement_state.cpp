#include "trace/requirement_state.hpp"

#include <string>
#include <string_view>

#include "support/invariant.hpp"

namespace quorvane {
namespace {

std::string missing_stage_message(std::string_view stage) {
  if (stage == "doc") {
    return "Requirement is missing documentation evidence";
  }
  if (stage == "impl") {
    return "Requirement is missing implementation evidence";
  }
  if (stage == "unit") {
    return "Requirement is missing unit test evidence";
  }
  if (stage == "int") {
    return "Requirement is missing integration test evidence";
  }
  std::string message = "Requirement is missing ";
  message.append(stage);
  message.append(" evidence");
  return message;
}

Finding missing_stage_finding(const Requirement& requirement, const std::string& stage) {
  Finding finding;
  finding.code = FindingCode::MissingStage;
  finding.severity = requirement.priority;
  finding.requirement_id = requirement.id;
  finding.stage = stage;
  finding.message = missing_stage_message(stage);
  return finding;
}

}  // namespace

RequirementState requirement_state_from(const Requirement& requirement, StageMap stages,
                                        std::vector<Finding>& findings) {
  // A stage listed twice is reported twice, as the manifest asks for it twice.
  for (const auto& name : requirement.required_stages) {
    const auto found = stages.find(name);
    if (found == stages.end()) {
      invariant_broken("stage in map");
    }
    if (!found->second.complete) {
      findings.push_back(missing_stage_finding(requirement, name));
    }
  }

  RequirementState state;
  state.id = requirement.id;
  state.title = requirement.title;
  state.type = requirement.type;
  state.required_stages = requirement.required_stages;
  state.stages = std::move(stages);
  return state;
}

}  // namespace quorvane
