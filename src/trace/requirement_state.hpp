#pragma once

#include <vector>

#include "manifest/model.hpp"
#include "trace/records.hpp"

namespace quorvane {

// The state of `requirement` around its finished stage map (an entry for every known stage);
// appends a "missing_stage" finding for each required stage, repeats included, whose entry is
// not complete, in the order the stages are required.
RequirementState requirement_state_from(const Requirement& requirement, StageMap stages,
                                        std::vector<Finding>& findings);

}  // namespace quorvane
