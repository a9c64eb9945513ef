#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "manifest/model.hpp"
#include "scan/records.hpp"
#include "trace/records.hpp"

namespace quorvane {

// Requirement id -> stage name -> evidence in arrival order.
using StageEvidence = std::unordered_map<std::string, std::vector<Evidence>>;
using EvidenceMap = std::unordered_map<std::string, StageEvidence>;

TraceResult build_trace(const Manifest& manifest, const ScanResult& scan);

std::vector<RequirementState> build_requirement_states(
    const std::vector<Requirement>& requirements, const EvidenceMap& evidence,
    const std::vector<std::string>& ordered_stage_list, std::vector<Finding>& findings);

RequirementState build_requirement_state(const Requirement& requirement,
                                         const StageEvidence& evidence,
                                         const std::vector<std::string>& ordered_stage_list,
                                         std::vector<Finding>& findings);

// The state of `requirement` around its finished stage map (an entry for every known stage);
// appends a "missing_stage" finding for each required stage, repeats included, whose entry is
// not complete, in the order the stages are required.
RequirementState requirement_state_from(const Requirement& requirement, StageMap stages,
                                        std::vector<Finding>& findings);

}  // namespace quorvane
