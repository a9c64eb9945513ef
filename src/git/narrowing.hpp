#pragma once

#include <vector>

#include "git/changed_lines.hpp"
#include "git/changed_requirements.hpp"
#include "manifest/model.hpp"
#include "trace/records.hpp"

namespace quorvane {

void retain_changed_requirements(std::vector<Requirement>& requirements,
                                 const ChangedRequirements& changed);

void retain_changed_evidence(std::vector<Evidence>& evidence, const ChangedLines& changed);

}  // namespace quorvane
