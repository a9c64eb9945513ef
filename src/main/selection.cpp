#include "main/selection.hpp"

#include <algorithm>

#include <fmt/format.h>

namespace quorvane {
namespace {

bool contains(const std::vector<std::string>& values, std::string_view value) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

bool has_type(const RequirementState& state, const std::vector<std::string>& types) {
  return types.empty() || (state.type && contains(types, *state.type));
}

bool misses_a_stage(const RequirementState& state, const std::vector<std::string>& missing) {
  if (missing.empty()) return true;
  for (const std::string& stage : missing) {
    if (!contains(state.required_stages, stage)) continue;
    const auto found = state.stages.find(stage);
    if (found != state.stages.end() && !found->second.complete) return true;
  }
  return false;
}

}  // namespace

Result<Priority> parse_fail_on(std::string_view text) {
  if (auto priority = priority_from_word(text)) return *priority;
  return Failure{
      fmt::format("invalid argument: --fail-on expects must, should, or could (got '{}')", text)};
}

Status validate_missing_values(const std::vector<std::string>& missing, const TraceResult& trace) {
  for (const std::string& value : missing) {
    if (!contains(trace.stages, value)) {
      return Failure{fmt::format("invalid argument: --missing expects one of {} (got '{}')",
                                 fmt::join(trace.stages, ", "), value)};
    }
  }
  return Ok{};
}

Status validate_type_values(const std::vector<std::string>& types, const TraceResult& trace) {
  for (const std::string& value : types) {
    const bool carried = std::any_of(
        trace.requirements.begin(), trace.requirements.end(),
        [&](const RequirementState& state) { return state.type && *state.type == value; });
    if (!carried) {
      return Failure{fmt::format(
          "invalid argument: --type expects a declared requirement type (got '{}')", value)};
    }
  }
  return Ok{};
}

bool list_filter(const RequirementState& state, const std::vector<std::string>& missing,
                 const std::vector<std::string>& types) {
  return misses_a_stage(state, missing) && has_type(state, types);
}

StateSelection select_list_states(const TraceResult& trace, const std::vector<std::string>& missing,
                                  const std::vector<std::string>& types) {
  StateSelection selection;
  for (const RequirementState& state : trace.requirements) {
    if (list_filter(state, missing, types)) selection.push_back(&state);
  }
  return selection;
}

StateSelection select_type_states(const TraceResult& trace, const std::vector<std::string>& types) {
  StateSelection selection;
  for (const RequirementState& state : trace.requirements) {
    if (has_type(state, types)) selection.push_back(&state);
  }
  return selection;
}

void order_by_type_and_id(StateSelection& selection) {
  std::stable_sort(selection.begin(), selection.end(),
                   [](const RequirementState* a, const RequirementState* b) {
                     const std::string_view type_a = a->type ? std::string_view(*a->type) : "";
                     const std::string_view type_b = b->type ? std::string_view(*b->type) : "";
                     if (type_a != type_b) return type_a < type_b;
                     return a->id < b->id;
                   });
}

SelectedIds selected_ids(const StateSelection& selection) {
  SelectedIds ids;
  ids.reserve(selection.size());
  for (const RequirementState* state : selection) ids.insert(state->id);
  return ids;
}

bool finding_filter(const Finding& finding, const SelectedIds& ids) {
  return !finding.requirement_id || finding.code == FindingCode::UndeclaredId ||
         ids.contains(*finding.requirement_id);
}

FindingSelection select_findings(const TraceResult& trace, const SelectedIds& ids) {
  FindingSelection retained;
  for (const Finding& finding : trace.findings) {
    if (finding_filter(finding, ids)) retained.push_back(&finding);
  }
  return retained;
}

}  // namespace quorvane
