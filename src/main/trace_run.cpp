#include <algorithm>

#include <fmt/format.h>

#include "main/runs.hpp"
#include "main/trace_run.hpp"
#include "output/json_report.hpp"
#include "output/requirement_text.hpp"

namespace quorvane {

FindingSelection findings_for_requirement(const std::vector<Finding>& findings,
                                          std::string_view id) {
  FindingSelection own;
  for (const Finding& finding : findings) {
    if (finding.requirement_id && *finding.requirement_id == id) own.push_back(&finding);
  }
  return own;
}

RunOutcome run_trace(const TraceCommand& options, const TraceResult& trace) {
  const auto found =
      std::find_if(trace.requirements.begin(), trace.requirements.end(),
                   [&](const RequirementState& state) { return state.id == options.id; });
  if (found == trace.requirements.end()) {
    return Failure{
        fmt::format("trace error: requirement '{}' is not declared in the manifest", options.id)};
  }
  const FindingSelection own = findings_for_requirement(trace.findings, options.id);
  return write_report(options.json ? render_trace_json(trace, StateSelection{&*found}, own)
                                   : render_requirement_text(*found, own, trace.stages),
                      options.json, 0);
}

}  // namespace quorvane
