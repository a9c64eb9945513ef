#pragma once

#include <vector>

#include "trace/records.hpp"

namespace quorvane {

// What a run chose to show: references into the trace, in the run's order.
using StateSelection = std::vector<const RequirementState*>;
using FindingSelection = std::vector<const Finding*>;

}  // namespace quorvane
