#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "output/selection.hpp"
#include "trace/records.hpp"

namespace quorvane {

using Json = nlohmann::ordered_json;

// Member writers shared by the trace report and the review report.
void write_schema_version(Json& document);
void write_findings_array(Json& document, const FindingSelection& findings);

// The document text with two-space layout and no line break after the closing brace.
std::string dump_json(const Json& document);

std::string render_trace_json(const TraceResult& trace, const StateSelection& states,
                              const FindingSelection& findings);

std::string render_review_json(const std::vector<Finding>& findings, const std::string& prompt);

}  // namespace quorvane
