#pragma once

#include <string_view>
#include <vector>

#include "output/selection.hpp"
#include "trace/records.hpp"

namespace quorvane {

// The findings whose requirement id is `id`, in the trace's order.
FindingSelection findings_for_requirement(const std::vector<Finding>& findings,
                                          std::string_view id);

}  // namespace quorvane
