#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "output/selection.hpp"
#include "trace/records.hpp"

namespace quorvane {

std::string render_trace_text(const TraceResult& trace, const StateSelection& states,
                              const FindingSelection& findings);

// "[must] code id criterion=.. stage=.. path:line — message", without a line break.
std::string finding_line(const Finding& finding);

// Appends `indent`, the finding line and a line break for one finding.
void append_finding_line(std::string& out, std::string_view indent, const Finding& finding);

// "+stage" / "-stage" for each name of the ordered stage list that the state's map holds.
std::vector<std::string> stage_tokens(const std::vector<std::string>& stages,
                                      const RequirementState& state);

}  // namespace quorvane
