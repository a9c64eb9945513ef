#include "output/json_report.hpp"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string_view>
#include <variant>

#include "manifest/priority.hpp"
#include "output/json_object.hpp"

namespace quorvane {

namespace {

constexpr std::uint64_t kSchemaVersion = 1;

Json finding_object(const Finding& finding) {
  Json object = json_object(8);
  append_member(object, "code", finding.code);
  append_member(object, "severity", priority_word(finding.severity));
  if (finding.requirement_id) append_member(object, "requirementId", *finding.requirement_id);
  if (finding.stage) append_member(object, "stage", *finding.stage);
  if (finding.criterion) append_member(object, "criterion", *finding.criterion);
  if (finding.path) append_member(object, "path", *finding.path);
  if (finding.line) append_member(object, "line", std::uint64_t{*finding.line});
  append_member(object, "message", finding.message);
  return object;
}

Json evidence_object(const Evidence& evidence) {
  if (const auto* file = std::get_if<FileEvidence>(&evidence)) {
    Json object = json_object(2);
    append_member(object, "path", file->path);
    append_member(object, "line", std::uint64_t{file->line});
    return object;
  }
  Json object = json_object(1);
  append_member(object, "url", std::get<SignoffEvidence>(evidence).url);
  return object;
}

Json stage_object(const StageState& stage) {
  Json evidence = json_array(stage.evidence.size());
  for (const Evidence& entry : stage.evidence) evidence.push_back(evidence_object(entry));
  Json object = json_object(2);
  append_member(object, "complete", stage.complete);
  append_member(object, "evidence", std::move(evidence));
  return object;
}

Json requirement_object(const RequirementState& state) {
  Json object = json_object(5);
  append_member(object, "id", state.id);
  if (state.title) append_member(object, "title", *state.title);
  if (state.type) append_member(object, "type", *state.type);

  Json required = json_array(state.required_stages.size());
  for (const std::string& stage : state.required_stages) required.push_back(stage);
  append_member(object, "requiredStages", std::move(required));

  // The state's map is already in byte order of the stage names.
  Json stages = json_object(state.stages.size());
  for (const auto& [name, stage] : state.stages) append_member(stages, name, stage_object(stage));
  append_member(object, "stages", std::move(stages));
  return object;
}

Json summary_object(const TraceResult& trace, std::uint64_t finding_count) {
  std::uint64_t complete = 0;
  std::map<std::string_view, std::uint64_t> counts_by_type;
  for (const RequirementState& state : trace.requirements) {
    if (is_complete(state)) ++complete;
    if (state.type) ++counts_by_type[*state.type];
  }
  const std::uint64_t total = trace.requirements.size();

  Json summary = json_object(5);
  append_member(summary, "requirementCount", total);
  append_member(summary, "completeCount", complete);
  append_member(summary, "incompleteCount", total - complete);
  append_member(summary, "findingCount", finding_count);
  if (!counts_by_type.empty()) {
    Json counts = json_object(counts_by_type.size());
    for (const auto& [type, count] : counts_by_type) {
      append_member(counts, std::string(type), count);
    }
    append_member(summary, "countsByType", std::move(counts));
  }
  return summary;
}

// A dumped text holds no raw line feed inside a string (it is escaped), so every line feed is
// layout, and inserting spaces after each one shifts the whole text right.
void append_shifted(std::string& out, std::string_view text, std::size_t indent) {
  std::size_t start = 0;
  for (std::size_t feed = text.find('\n'); feed != std::string_view::npos;
       feed = text.find('\n', start)) {
    out.append(text.substr(start, feed + 1 - start));
    out.append(indent, ' ');
    start = feed + 1;
  }
  out.append(text.substr(start));
}

// The members of a non-empty object, as they stand inside the document's own braces.
void append_member_lines(std::string& out, const Json& object) {
  const std::string text = dump_json(object);  // "{\n", the member lines, "\n}"
  out.append(std::string_view(text).substr(2, text.size() - 4));
}

}  // namespace

// The shared writers take the caller's document, which may already hold members (or be null);
// indexing keeps them from writing a key twice.
void write_schema_version(Json& document) {
  document["schemaVersion"] = kSchemaVersion;
}

void write_findings_array(Json& document, const FindingSelection& findings) {
  Json array = json_array(findings.size());
  for (const Finding* finding : findings) array.push_back(finding_object(*finding));
  document["findings"] = std::move(array);
}

std::string dump_json(const Json& document) {
  // Texts that came from file names may hold invalid UTF-8; replacing it keeps the dump from
  // throwing. Non-ASCII stays unescaped.
  return document.dump(2, ' ', false, Json::error_handler_t::replace);
}

std::string render_trace_json(const TraceResult& trace, const StateSelection& states,
                              const FindingSelection& findings) {
  Json head = json_object(2);
  write_schema_version(head);
  append_member(head, "summary", summary_object(trace, findings.size()));
  Json tail = json_object(1);
  write_findings_array(tail, findings);

  // The requirement objects are the bulk of a large trace: each one is built, dumped into the
  // document and released, so no tree of the whole trace is ever held.
  std::string out("{\n");
  append_member_lines(out, head);
  out.append(",\n  \"requirements\": ");
  if (states.empty()) {
    out.append("[]");
  } else {
    out.append("[\n");
    bool first = true;
    for (const RequirementState* state : states) {
      if (!first) out.append(",\n");
      first = false;
      out.append(4, ' ');
      append_shifted(out, dump_json(requirement_object(*state)), 4);
    }
    out.append("\n  ]");
  }
  out.append(",\n");
  append_member_lines(out, tail);
  out.append("\n}");
  return out;
}

std::string render_review_json(const std::vector<Finding>& findings, const std::string& prompt) {
  FindingSelection selection;
  selection.reserve(findings.size());
  for (const Finding& finding : findings) selection.push_back(&finding);

  Json document = json_object(3);
  write_schema_version(document);
  write_findings_array(document, selection);
  append_member(document, "agentPrompt", prompt);
  return dump_json(document);
}

}  // namespace quorvane
