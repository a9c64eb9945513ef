#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "manifest/priority.hpp"
#include "output/json_text.hpp"
#include "output/selection.hpp"
#include "trace/records.hpp"

namespace quorvane {

inline constexpr std::uint64_t kSchemaVersion = 1;

// Member writers shared by the trace report and the review report, so the two documents agree
// on these members to the byte.
template <class Sink>
void write_schema_version(JsonText<Sink>& json) {
  json.member("schemaVersion", kSchemaVersion);
}

namespace json_detail {

inline const Finding& finding_of(const Finding& finding) {
  return finding;
}
inline const Finding& finding_of(const Finding* finding) {
  return *finding;
}

template <class Sink>
void write_finding(JsonText<Sink>& json, const Finding& finding) {
  json.begin_object();
  json.member("code", finding_code_word(finding.code));
  json.member("severity", priority_word(finding.severity));
  if (finding.requirement_id) json.member("requirementId", *finding.requirement_id);
  if (finding.stage) json.member("stage", *finding.stage);
  if (finding.criterion) json.member("criterion", *finding.criterion);
  if (finding.path) json.member("path", *finding.path);
  if (finding.line) json.member("line", std::uint64_t{*finding.line});
  json.member("message", finding.message);
  json.end_object();
}

}  // namespace json_detail

// `findings` holds Finding records or pointers to them (a run's selection), in report order.
template <class Sink, class Findings>
void write_findings_array(JsonText<Sink>& json, const Findings& findings) {
  json.key("findings");
  json.begin_array();
  for (const auto& finding : findings) {
    json_detail::write_finding(json, json_detail::finding_of(finding));
  }
  json.end_array();
}

// The documents: two-space layout and no line break after the closing brace.
std::string render_trace_json(const TraceResult& trace, const StateSelection& states,
                              const FindingSelection& findings);

std::string render_review_json(const std::vector<Finding>& findings, const std::string& prompt);

}  // namespace quorvane
