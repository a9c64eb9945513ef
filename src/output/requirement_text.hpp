#pragma once

#include <string>
#include <vector>

#include "output/selection.hpp"
#include "trace/records.hpp"

namespace quorvane {

std::string render_requirement_text(const RequirementState& state, const FindingSelection& findings,
                                    const std::vector<std::string>& stages);

}  // namespace quorvane
