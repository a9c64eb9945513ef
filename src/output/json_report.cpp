#include "output/json_report.hpp"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string_view>
#include <variant>

#include "output/trace_summary.hpp"
#include "platform/memory.hpp"

namespace quorvane {

namespace {

// A trace report of a large project runs to tens of MiB, all written at once.
void prefer_huge_pages(std::string& buffer) {
  platform::advise_huge_pages(buffer.data(), buffer.capacity());
}

template <class Sink>
void write_evidence(JsonText<Sink>& json, const Evidence& evidence) {
  json.begin_object();
  if (const auto* file = std::get_if<FileEvidence>(&evidence)) {
    json.member("path", file->path);
    json.member("line", std::uint64_t{file->line});
  } else {
    json.member("url", std::get<SignoffEvidence>(evidence).url);
  }
  json.end_object();
}

template <class Sink>
void write_requirement(JsonText<Sink>& json, const RequirementState& state) {
  json.begin_object();
  json.member("id", state.id);
  if (state.title) json.member("title", *state.title);
  if (state.type) json.member("type", *state.type);
  json.key("requiredStages");
  json.begin_array();
  for (const std::string& stage : state.required_stages) json.value(stage);
  json.end_array();
  // The state's map is already in byte order of the stage names.
  json.key("stages");
  json.begin_object();
  for (const auto& [name, stage] : state.stages) {
    json.key(name);
    json.begin_object();
    json.member("complete", stage.complete);
    json.key("evidence");
    json.begin_array();
    for (const Evidence& entry : stage.evidence) write_evidence(json, entry);
    json.end_array();
    json.end_object();
  }
  json.end_object();
  json.end_object();
}

// The number of states of each type, in byte order of the types; untyped states are not counted.
using CountsByType = std::map<std::string_view, std::uint64_t>;

CountsByType counts_by_type(const TraceResult& trace) {
  CountsByType counts;
  for (const RequirementState& state : trace.requirements) {
    if (state.type) ++counts[*state.type];
  }
  return counts;
}

template <class Sink>
void write_summary(JsonText<Sink>& json, const TraceSummary& summary, const CountsByType& types,
                   std::uint64_t finding_count) {
  json.key("summary");
  json.begin_object();
  json.member("requirementCount", summary.requirements);
  json.member("completeCount", summary.complete);
  json.member("incompleteCount", summary.incomplete);
  json.member("findingCount", finding_count);
  if (!types.empty()) {
    json.key("countsByType");
    json.begin_object();
    for (const auto& [type, count] : types) json.member(type, count);
    json.end_object();
  }
  json.end_object();
}

}  // namespace

std::string render_trace_json(const TraceResult& trace, const StateSelection& states,
                              const FindingSelection& findings) {
  const TraceSummary summary = summarize_trace(trace);
  const CountsByType types = counts_by_type(trace);
  return compose_json(
      [&](auto& json) {
        json.begin_object();
        write_schema_version(json);
        write_summary(json, summary, types, findings.size());
        json.key("requirements");
        json.begin_array();
        for (const RequirementState* state : states) write_requirement(json, *state);
        json.end_array();
        write_findings_array(json, findings);
        json.end_object();
      },
      &prefer_huge_pages);
}

std::string render_review_json(const std::vector<Finding>& findings, const std::string& prompt) {
  return compose_json([&](auto& json) {
    json.begin_object();
    write_schema_version(json);
    write_findings_array(json, findings);
    json.member("agentPrompt", prompt);
    json.end_object();
  });
}

}  // namespace quorvane
