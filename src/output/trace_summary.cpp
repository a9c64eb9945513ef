#include "output/trace_summary.hpp"

namespace quorvane {

TraceSummary summarize_trace(const TraceResult& trace) {
  TraceSummary summary;
  summary.requirements = trace.requirements.size();
  for (const RequirementState& state : trace.requirements) {
    if (is_complete(state)) ++summary.complete;
  }
  summary.incomplete = summary.requirements - summary.complete;
  return summary;
}

}  // namespace quorvane
