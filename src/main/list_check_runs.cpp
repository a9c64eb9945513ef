#include <algorithm>

#include "main/runs.hpp"
#include "main/selection.hpp"
#include "output/json_report.hpp"
#include "output/trace_text.hpp"

namespace quorvane {
namespace {

RunOutcome write_trace_report(const TraceResult& trace, const StateSelection& states,
                              const FindingSelection& findings, bool json, int status) {
  return write_report(json ? render_trace_json(trace, states, findings)
                           : render_trace_text(trace, states, findings),
                      json, status);
}

}  // namespace

RunOutcome run_list(const ListCommand& options, const TraceResult& trace) {
  if (Status checked = validate_missing_values(options.missing, trace); !checked) {
    return std::move(checked).take_failure();
  }
  if (Status checked = validate_type_values(options.req_type, trace); !checked) {
    return std::move(checked).take_failure();
  }
  StateSelection states = select_list_states(trace, options.missing, options.req_type);
  order_by_type_and_id(states);
  const FindingSelection findings = select_findings(trace, selected_ids(states));
  return write_trace_report(trace, states, findings, options.json, 0);
}

RunOutcome run_check(const CheckCommand& options, Priority threshold, const TraceResult& trace) {
  if (Status checked = validate_type_values(options.req_type, trace); !checked) {
    return std::move(checked).take_failure();
  }
  StateSelection states = select_type_states(trace, options.req_type);
  order_by_type_and_id(states);
  const FindingSelection findings = select_findings(trace, selected_ids(states));
  const bool fails = std::any_of(findings.begin(), findings.end(), [&](const Finding* finding) {
    return finding->severity >= threshold;
  });
  return write_trace_report(trace, states, findings, options.json, fails ? 1 : 0);
}

}  // namespace quorvane
