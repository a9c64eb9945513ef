#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "manifest/priority.hpp"
#include "output/selection.hpp"
#include "support/result.hpp"
#include "trace/records.hpp"

namespace quorvane {

// The ids of the selected states, for membership tests only.
using SelectedIds = std::unordered_set<std::string_view>;

Result<Priority> parse_fail_on(std::string_view text);
Status validate_missing_values(const std::vector<std::string>& missing, const TraceResult& trace);
Status validate_type_values(const std::vector<std::string>& types, const TraceResult& trace);

bool list_filter(const RequirementState& state, const std::vector<std::string>& missing,
                 const std::vector<std::string>& types);
StateSelection select_list_states(const TraceResult& trace, const std::vector<std::string>& missing,
                                  const std::vector<std::string>& types);
StateSelection select_type_states(const TraceResult& trace, const std::vector<std::string>& types);

// Stable: by type (untyped as the empty text, so first), then id.
void order_by_type_and_id(StateSelection& selection);

SelectedIds selected_ids(const StateSelection& selection);
bool finding_filter(const Finding& finding, const SelectedIds& ids);
FindingSelection select_findings(const TraceResult& trace, const SelectedIds& ids);

}  // namespace quorvane
