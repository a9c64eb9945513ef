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

}  // namespace quorvane
